#!/usr/bin/env bash
# Installs what is needed, builds everything and runs every test: once in a normal build, then
# the Debian package built, installed, run and removed again, then every fuzz target for a short
# while, then the tests again with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

jobs=$(nproc)

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_COMPILE_WARNING_AS_ERROR=ON
cmake --build build --parallel "$jobs"
cmake --build build --target check-format
(cd build && ctest --output-on-failure --parallel "$jobs")

# The Debian package, installed with apt, run and removed again (skipped without root or sudo).
package_status=0
bash tests/packagetest.sh build || package_status=$?
case $package_status in
  0) ;;
  77) echo "The package test was skipped." ;;
  *) exit "$package_status" ;;
esac

bash scripts/fuzz.sh "${ZONARA_FUZZ_SECONDS:-20}"

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=0"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZONARA_SANITIZE=ON \
      -DCMAKE_COMPILE_WARNING_AS_ERROR=ON \
      -DZONARA_BUILD_BENCHMARKS=OFF
cmake --build build-sanitize --parallel "$jobs"
(cd build-sanitize && ctest --output-on-failure --parallel "$jobs")
