#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan + UBSan) in build-fuzz/ and
# runs each for a bounded time over a scratch copy of its committed seed
# corpus in fuzz/corpus/<target>/. Any crash, sanitizer report, leak, timeout
# or out-of-memory fails the run; the input that caused it is kept in
# build-fuzz/artifacts/<target>/.
#   scripts/fuzz.sh [seconds per target]     (60 under CI, 10 otherwise)
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/bootstrap.sh

if [ "${CI:-}" = true ]; then default_seconds=60; else default_seconds=10; fi
seconds=${1:-$default_seconds}
build_dir=build-fuzz
scratch=fuzz/corpus-run

CC=clang CXX=clang++ cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DGLOAMERY_FUZZ=ON -DGLOAMERY_TESTS=OFF -DGLOAMERY_BENCH=OFF >/dev/null
cmake --build "$build_dir" --target gloamery_fuzz

# The fuzzers' own leak check stays on, whatever the test suite exported.
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

status=0
for corpus in fuzz/corpus/*/; do
  target=$(basename "$corpus")
  binary="$build_dir/bin/$target"
  if [ ! -x "$binary" ]; then
    echo "fuzz: no target $target for corpus $corpus" >&2
    status=1
    continue
  fi
  rm -rf "${scratch:?}/$target"
  mkdir -p "$scratch/$target" "$build_dir/artifacts/$target"
  cp -r "$corpus". "$scratch/$target/"
  dict=()
  [ -f "fuzz/$target.dict" ] && dict=(-dict="fuzz/$target.dict")
  echo "fuzz: $target for ${seconds}s"
  if ! "$binary" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      "${dict[@]}" -artifact_prefix="$build_dir/artifacts/$target/" "$scratch/$target" 2>"$build_dir/$target.log"; then
    tail -n 60 "$build_dir/$target.log" >&2
    echo "fuzz: $target found a fault; input kept in $build_dir/artifacts/$target/" >&2
    status=1
  else
    grep -E '^(#[0-9]+.*DONE|stat::number_of_executed_units)' "$build_dir/$target.log" || true
  fi
done
exit $status
