#!/usr/bin/env bash
# Installs what is needed (and headless Chromium, for comparison), builds in release mode and runs
# the benchmarks: the text form and the parser on generated listings, then Retrieve of 10,000
# hosts against curl and Chromium, peak memory and start-up.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
if ! command -v chromium > /dev/null; then
  if [ "$(id -u)" -ne 0 ]; then sudo=sudo; else sudo=; fi
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends chromium
fi

cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DZONARA_BUILD_TESTS=OFF
cmake --build build-release --parallel "$(nproc)" --target bench_listing bench_retrieve \
  zonara-member-simulator

build-release/bench/bench_listing
build-release/bench/bench_retrieve build-release/tools/zonara-member-simulator 5 2> /dev/null
