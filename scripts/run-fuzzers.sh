#!/bin/sh
# Builds the libFuzzer targets (clang, AddressSanitizer) and runs each for a
# bounded time from its seed corpus; fails on the first crash or leak.
#   scripts/run-fuzzers.sh [seconds per fuzzer, default 60]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
"$root/scripts/build.sh" fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang \
  -DLUMAVOX_FUZZ=ON -DLUMAVOX_TESTS=OFF -DLUMAVOX_TOOLS=OFF \
  "-DLUMAVOX_SANITIZE=address,undefined,fuzzer-no-link"
bin="$root/build/fuzz/fuzz"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# fuzzer, seed corpus, share of the time (whole-instrument ones are slow).
run() {
  name=$1 corpus=$2 time=$3
  [ -x "$bin/$name" ] || { echo "missing fuzzer $name"; exit 1; }
  mkdir -p "$work/$name"
  cp "$root/$corpus"/* "$work/$name/" 2>/dev/null || true
  echo "== $name ($time s)"
  "$bin/$name" "$work/$name" -max_total_time="$time" -print_final_stats=1 \
    -artifact_prefix="$work/$name-" 2>&1 | grep -E "stat::number_of_executed_units|ERROR|SUMMARY|Test unit written" || true
  # Any one artifact fails the run (ls of all three globs would fail unless
  # every kind were there).
  found=""
  for artifact in "$work/$name-"crash-* "$work/$name-"leak-* "$work/$name-"timeout-* \
    "$work/$name-"oom-*; do
    [ -e "$artifact" ] && found=yes
  done
  if [ -n "$found" ]; then
    mkdir -p "$root/build/fuzz/artifacts" && cp "$work/$name-"* "$root/build/fuzz/artifacts/"
    echo "FAIL: $name found a crashing input (kept in build/fuzz/artifacts)"
    exit 1
  fi
}

run lumavox_chunk_reader_fuzz fuzz/corpus/chunk "$seconds"
run lumavox_set_chunk_fuzz fuzz/corpus/chunk $((seconds / 2))
run lumavox_image_import_fuzz fuzz/corpus/image "$seconds"
run lumavox_wav_import_fuzz fuzz/corpus/wav "$seconds"
if [ -f "$root/fuzz/render/fuzzers.txt" ]; then
  while read -r name corpus; do
    case "$name" in ''|'#'*) continue ;; esac
    run "$name" "$corpus" "$seconds"
  done < "$root/fuzz/render/fuzzers.txt"
fi
echo "fuzzing found nothing"
