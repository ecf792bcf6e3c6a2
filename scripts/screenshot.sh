#!/bin/sh
# Takes the screenshot for the documentation: the real program, built if needed, on a demo drive under a
# virtual X server (Xvfb). Writes docs/screenshot.png, or the file named as the first argument.
#
# Needs: xvfb (xvfb-run) and xauth. The picture is taken by bench/window_probe over the X protocol, so no
# screenshot program is needed.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
output=${1:-"$root/docs/screenshot.png"}
build="$root/build"

cd "$root"
[ -f "$build/build.ninja" ] || cmake --preset default >/dev/null
cmake --build --preset default --target velmora velmora_desktop window_probe -j2 >/dev/null

demo=$(mktemp -d)
trap 'rm -rf "$demo"' EXIT
etc="$demo/Windows/System32/drivers/etc"
mkdir -p "$etc"
printf '127.0.0.1 localhost\r\n::1 localhost\r\n' >"$etc/hosts"
cp "$etc/hosts" "$etc/hosts.Default"
printf '10.0.0.10 intranet.office\r\n10.0.0.11 mail.office\r\n' >"$etc/hosts.office"
printf '192.168.1.5 nas.home\r\n' >"$etc/hosts.home"
printf '127.0.0.1 api.test\r\n' >"$etc/hosts.development"
printf '0.0.0.0 ads.example\r\n' >"$etc/hosts.no ads"

# The desktop's own theme and style would change the picture from machine to machine.
env -u QT_QPA_PLATFORMTHEME -u QT_STYLE_OVERRIDE -u QT_SCALE_FACTOR -u QT_QPA_PLATFORM \
    VELMORA_DRIVE_C="$demo" \
    xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" \
    "$build/bin/window_probe" --settle-ms 1500 --screenshot "$output" -- "$build/bin/velmora"
echo "$output"
