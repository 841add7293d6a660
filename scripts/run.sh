#!/usr/bin/env bash
# Installs what is missing, builds, and starts Oxalis Monitor. Without a USB
# serial adapter plugged in, the tool starts with its simulated module.
# Extra arguments are passed to the tool.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
"$root/scripts/build.sh" "$root/build"

args=("$@")
if ! compgen -G "/dev/ttyUSB*" >/dev/null && ! compgen -G "/dev/ttyACM*" >/dev/null \
   && [[ " $* " != *" --demo"* ]]; then
  echo "No USB serial adapter found: starting with the simulated module (--demo)."
  args=(--demo "${args[@]}")
fi
# The help, the version and the headless commands need no display.
for arg in "$@"; do
  case "$arg" in
    --help|-h|--version|-v|--record|--export-csv) exec "$root/build/src/oxalis-monitor" "${args[@]}" ;;
  esac
done
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "No graphical display found (DISPLAY is not set): run this from a desktop session." >&2
  exit 1
fi
exec "$root/build/src/oxalis-monitor" "${args[@]}"
