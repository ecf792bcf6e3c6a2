#!/usr/bin/env bash
# Installs what is missing, builds Velmora and runs it on a copy of the bundled demo drive, so nothing of
# this machine's own /etc is touched. With a display it opens the window; without one it switches to the
# "office" hosts set the way a desktop shortcut does and shows what changed.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target velmora velmora_desktop

drive=$(mktemp -d "${TMPDIR:-/tmp}/velmora-demo-XXXXXX")
cp -r scripts/demo-drive/. "$drive"
export VELMORA_DRIVE_C="$drive"
hosts="$drive/Windows/System32/drivers/etc/hosts"
echo "Demo drive C: is $drive"

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    echo "Opening the window. Double-click a variant to activate it; Escape closes the window."
    status=0
    build/bin/velmora || status=$?
    echo "Velmora ended with exit code $status."
    exit "$status"
fi

echo "No display: switching to the 'office' hosts set without a window (velmora office)."
cp "$hosts" "$drive/hosts.before"
status=0
build/bin/velmora office </dev/null || status=$?
echo "Velmora ended with exit code $status. What changed in hosts:"
diff -u --label "hosts before" --label "hosts after" "$drive/hosts.before" "$hosts" | tr -d '\r' || true
rm -f "$drive/hosts.before"
