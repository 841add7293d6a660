#!/usr/bin/env bash
# Fuzzes the tool's readers of outside input with libFuzzer (clang,
# AddressSanitizer, UndefinedBehaviorSanitizer): the module's bytes for every
# module type and open window, and the data, settings, setup archive, table,
# channel library and firmware files.
#
#   scripts/fuzz.sh                      every target for 5 seconds (CI)
#   scripts/fuzz.sh --seconds 600        every target for 10 minutes
#   scripts/fuzz.sh --runs 10000000 receive data_file
#                                        10 million inputs for two targets
#
# Each target starts from seeds the tool's own writers and the simulated
# module make (build-fuzz/seeds), and keeps what it learns in
# build-fuzz/corpus/<target>. A crash, a leak, a sanitizer report or an
# input slower than 10 s stops the run with the input saved under
# build-fuzz/crashes/, and the script fails.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
limit=(-max_total_time=5)
targets=()
while [ $# -gt 0 ]; do
  case $1 in
    --seconds) limit=(-max_total_time="$2"); shift 2 ;;
    --runs) limit=(-runs="$2"); shift 2 ;;
    *) targets+=("$1"); shift ;;
  esac
done
[ ${#targets[@]} -gt 0 ] || targets=(receive data_file settings setup_archive table_file channel_line firmware_file)

"$root/scripts/deps.sh"
build="$root/build-fuzz"
if [ ! -f "$build/build.ninja" ]; then
  CXX=clang++ cmake -S "$root/fuzz" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
fi
cmake --build "$build"
rm -rf "$build/seeds" && "$build/fuzz_seeds" "$build/seeds"
mkdir -p "$build/crashes"
for target in "${targets[@]}"; do
  mkdir -p "$build/corpus/$target"
  echo "== fuzz_$target ${limit[*]}"
  # The module's bytes in slices of up to 512 bytes (a dozen records): the
  # parser starts each slice where the previous one left it.
  length=()
  [ "$target" != receive ] || length=(-max_len=512)
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$build/fuzz_$target" "${limit[@]}" "${length[@]}" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$build/crashes/$target-" "$build/corpus/$target" "$build/seeds/$target" 2>&1 \
    | grep -E "^(#[0-9]+ +DONE|stat::number_of_executed_units|stat::average_exec_per_sec|==[0-9]+==ERROR|SUMMARY|.*Test unit written)" || true
  # libFuzzer leaves a crash-, leak-, timeout- or oom- file for every failure.
  if ls "$build/crashes/$target-"* > /dev/null 2>&1; then
    echo "fuzz_$target failed: see $build/crashes/"
    exit 1
  fi
done
