#!/usr/bin/env bash
# Runs the core's test programs of a build (default build/) under Valgrind's
# memcheck: any invalid read or write, use of an uninitialised value or
# definite leak fails the run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
status=0
for test in "$build"/tests/unit_*; do
  [ -x "$test" ] && [ -f "$test" ] || continue
  name=$(basename "$test")
  if valgrind --quiet --error-exitcode=9 --leak-check=full --errors-for-leak-kinds=definite \
       "$test" --gtest_brief=1 > "$build/$name.valgrind.log" 2>&1; then
    echo "memcheck clean: $name"
  else
    echo "memcheck found errors in $name:"
    cat "$build/$name.valgrind.log"
    status=1
  fi
done
exit $status
