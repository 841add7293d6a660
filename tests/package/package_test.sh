#!/usr/bin/env bash
# The Debian package: built by cpack from the build folder, it holds the
# tool, the simulated module, the menu entry, the icons and the udev rule;
# it depends on runtime packages only; its tool, unpacked, prints its version.
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" > "$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; exit 1; }
deb=$(ls "$work"/out/*.deb)
contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
for expected in ./usr/bin/oxalis-monitor ./usr/bin/oxalis-sim ./usr/share/applications/oxalis-monitor.desktop \
    ./usr/lib/udev/rules.d/60-oxalis-monitor.rules; do
  grep -qx "$expected" <<<"$contents" || { echo "missing from the package: $expected"; exit 1; }
done
for size in 16 24 32 48 64 128 256; do
  grep -qx "./usr/share/icons/hicolor/${size}x${size}/apps/oxalis-monitor.png" <<<"$contents" \
    || { echo "missing icon: $size"; exit 1; }
done
depends=$(dpkg-deb -f "$deb" Depends)
if grep -q -- '-dev' <<<"$depends"; then echo "depends on a development package: $depends"; exit 1; fi
grep -q libqt6serialport6 <<<"$depends" || { echo "no Qt serial port runtime in: $depends"; exit 1; }
dpkg-deb -x "$deb" "$work/root"
version=$("$work/root/usr/bin/oxalis-monitor" --version)
grep -q "2\." <<<"$version" || { echo "unexpected version text: $version"; exit 1; }
# Started as the desktop's menu starts it: the entry's Exec line, found on
# the PATH, its Icon among the installed icons. With the simulated module it
# opens its window and finds the module.
entry="$work/root/usr/share/applications/oxalis-monitor.desktop"
exec_line=$(sed -n 's/^Exec=//p' "$entry")
icon=$(sed -n 's/^Icon=//p' "$entry")
[ -f "$work/root/usr/share/icons/hicolor/48x48/apps/$icon.png" ] || { echo "menu icon not installed: $icon"; exit 1; }
mkdir -p "$work/app"
set +e
log=$(timeout 6 env PATH="$work/root/usr/bin:$PATH" QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 \
      $exec_line --demo --app-folder "$work/app" 2>&1)
status=$?
set -e
[ $status -eq 124 ] || { echo "the menu's command ended with status $status:"; echo "$log"; exit 1; }
grep -q "Link ON" <<<"$log" || { echo "the menu's command did not reach the module:"; echo "$log"; exit 1; }
echo "package ok: $(basename "$deb"), $version, started from its menu entry"
