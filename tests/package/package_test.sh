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
grep -q '^Exec=oxalis-monitor$' "$work/root/usr/share/applications/oxalis-monitor.desktop"
echo "package ok: $(basename "$deb"), $version"
