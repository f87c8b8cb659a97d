#!/usr/bin/env bash
# Installs what is needed (and headless Chromium, for comparison), builds in release mode and runs
# the benchmarks: the text form and the parser on generated listings; Retrieve of 5, 50 and
# 10,000 hosts against curl and Chromium, and start-up, on X (Xvfb); and the memory of the
# program itself on X, with 10,000 hosts and with hostile pages.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
# Only the benchmarks need these: Chromium for the comparison, Python to serve hostile pages.
if ! command -v chromium > /dev/null || ! command -v python3 > /dev/null; then
  if [ "$(id -u)" -ne 0 ]; then sudo=sudo; else sudo=; fi
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends chromium \
    python3
fi

cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DZONARA_BUILD_TESTS=OFF \
  -DCMAKE_COMPILE_WARNING_AS_ERROR=ON
cmake --build build-release --parallel "$(nproc)" --target bench_listing bench_retrieve \
  bench_report_stall \
  zonara-manager zonara-member-simulator

build-release/bench/bench_listing
QT_QPA_PLATFORM=xcb xvfb-run -a -s '-screen 0 1024x768x24 -nolisten tcp' \
  build-release/bench/bench_retrieve build-release/tools/zonara-member-simulator 5 2> /dev/null
QT_QPA_PLATFORM=xcb xvfb-run -a -s '-screen 0 1024x768x24 -nolisten tcp' \
  build-release/bench/bench_report_stall
bench/program_memory.sh build-release/app/zonara-manager build-release/tools/zonara-member-simulator
