#!/usr/bin/env bash
# Takes the Windows screenshot for the documentation: the real velmora.exe, built if needed, under Wine on a
# virtual X display (Xvfb), on demo variants in a throw-away prefix. Writes docs/screenshot-windows.png, or
# the file named as the first argument.
#
# Needs, beside what scripts/install-deps.sh installs: x11-utils (xwininfo), imagemagick (import) and
# fonts-wine (Wine's own faces, such as the one that draws the close box); they are left out of the build and
# test set-up on purpose:  apt-get install x11-utils imagemagick fonts-wine
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
output=${1:-"$root/docs/screenshot-windows.png"}
cd "$root"
[ -f build-windows/build.ninja ] || cmake --preset windows >/dev/null
nice -n 10 cmake --build --preset windows --target velmora -j2 >/dev/null

state=$(mktemp -d)
trap 'scripts/windows/wine-env.sh cleanup "$state"' EXIT
scripts/windows/wine-env.sh setup "$state" >/dev/null
drive_c="$state/prefix/drive_c"
export DISPLAY
DISPLAY=$(cat "$state/display")

# Wine's own faces, and the Windows faces the window asks for where their metric twins stand in.
if [ -d /usr/share/wine/fonts ]; then ln -sf /usr/share/wine/fonts/*.ttf "$drive_c/windows/Fonts/"; fi
for face in "Arial=Liberation Sans" "Arial Black=Liberation Sans" "Arial Narrow=Liberation Sans Narrow" \
            "Arial Rounded MT Bold=Liberation Sans"; do
    scripts/windows/wine-env.sh run "$state" reg add 'HKCU\Software\Wine\Fonts\Replacements' \
        /v "${face%%=*}" /d "${face#*=}" /f </dev/null >/dev/null 2>&1
done

etc="$drive_c/windows/system32/drivers/etc"
printf '127.0.0.1 localhost\r\n::1 localhost\r\n' >"$etc/hosts"
cp "$etc/hosts" "$etc/hosts.Default"
printf '10.0.0.10 intranet.office\r\n10.0.0.11 mail.office\r\n' >"$etc/hosts.office"
printf '192.168.1.5 nas.home\r\n' >"$etc/hosts.home"
printf '127.0.0.1 api.test\r\n' >"$etc/hosts.development"
printf '0.0.0.0 ads.example\r\n' >"$etc/hosts.no ads"
mkdir -p "$drive_c/Program Files/Velmora"
cp build-windows/bin/velmora.exe "$drive_c/Program Files/Velmora/"

scripts/windows/wine-env.sh run "$state" 'C:\Program Files\Velmora\velmora.exe' </dev/null >/dev/null 2>&1 &
window=
for _ in $(seq 200); do
    window=$(xwininfo -root -tree 2>/dev/null | awk '/"Velmora 1.0"/ {print $1; exit}')
    [ -n "$window" ] && break
    sleep 0.1
done
[ -n "$window" ] || { echo "the window did not open" >&2; exit 1; }
sleep 1.5  # let it paint
import -window "$window" "$output"
echo "$output"
