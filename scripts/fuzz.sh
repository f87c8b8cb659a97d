#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for the given number of seconds
# (default 60), starting from the seed corpora in fuzz/corpus/ and, for the targets that read
# whole pages, the test pages in tests/data/. New inputs go to
# build-fuzz/corpus/; crashes to build-fuzz/artifacts/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}

CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DZONARA_BUILD_FUZZERS=ON -DZONARA_BUILD_TESTS=OFF -DZONARA_BUILD_BENCHMARKS=OFF \
  -DCMAKE_COMPILE_WARNING_AS_ERROR=ON
targets=(fuzz_serializer fuzz_documenttext fuzz_parser fuzz_announcement fuzz_answer fuzz_textvalue
  fuzz_contenttype fuzz_displaytext)
cmake --build build-fuzz --parallel "$(nproc)" --target "${targets[@]}"

mkdir -p build-fuzz/artifacts
export ASAN_OPTIONS="detect_leaks=1:allocator_may_return_null=1"
status=0
for target in "${targets[@]}"; do
  corpus=build-fuzz/corpus/$target
  mkdir -p "$corpus"
  echo "== $target, ${seconds}s"
  seeds=(fuzz/corpus/"$target")
  case $target in
    fuzz_serializer | fuzz_documenttext | fuzz_parser | fuzz_contenttype) seeds+=(tests/data) ;;
  esac
  log=build-fuzz/$target.log
  set +e
  build-fuzz/fuzz/"$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 \
    -max_len=65536 -artifact_prefix=build-fuzz/artifacts/"$target"- -print_final_stats=1 \
    "$corpus" "${seeds[@]}" > "$log" 2>&1
  result=$?
  set -e
  grep -E '^(#[0-9]+.*DONE|stat::number_of_executed_units|==[0-9]+==ERROR|SUMMARY)' "$log" || true
  if [ "$result" -ne 0 ]; then
    echo "$target found a failure (exit $result); see $log and build-fuzz/artifacts/" >&2
    status=1
  fi
done
exit $status
