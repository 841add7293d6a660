#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test twice: once in an
# optimised build, once under AddressSanitizer and UndefinedBehaviorSanitizer;
# the core's tests under Valgrind memcheck as well; then fuzzes each reader
# of outside input for a few seconds.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"

export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
chmod 700 "$XDG_RUNTIME_DIR"
jobs=$(nproc)

echo "== optimised build"
"$root/scripts/build.sh" "$root/build"
ctest --test-dir "$root/build" --output-on-failure -j "$jobs"

echo "== the core's tests under Valgrind memcheck"
"$root/scripts/valgrind.sh" "$root/build"

echo "== AddressSanitizer + UndefinedBehaviorSanitizer build"
"$root/scripts/build.sh" "$root/build-asan" -DOXALIS_SANITIZE=ON -DOXALIS_BENCH=OFF
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
LSAN_OPTIONS=suppressions="$root/tests/lsan.supp" \
ctest --test-dir "$root/build-asan" --output-on-failure -j "$jobs"

echo "== fuzzing, 5 seconds per target (scripts/fuzz.sh --seconds N for longer)"
"$root/scripts/fuzz.sh" --seconds 5
