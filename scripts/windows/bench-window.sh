#!/usr/bin/env bash
# Builds velmora.exe, an empty Win32 window and the window benchmark, and runs it under Wine on a virtual
# display in a prefix of its own: start to window visible and peak working set, velmora.exe against the empty
# window of the same size, as a ratio measured in the same run. RUNS=N changes the number of runs.
set -euo pipefail
cd "$(dirname "$0")/../.."
[ -f build-windows/build.ninja ] || cmake --preset windows >/dev/null
nice -n 10 cmake --build --preset windows -j2 --target velmora velmora_bare_window_windows velmora_window_bench_windows >/dev/null
state="$PWD/build-windows/wine-bench-window"
trap 'scripts/windows/wine-env.sh cleanup "$state"' EXIT
scripts/windows/wine-env.sh setup "$state" >/dev/null
drive_c="$state/prefix/drive_c"
etc="$drive_c/windows/system32/drivers/etc"
cp "$etc/hosts" "$etc/hosts.Default"  # no first-start box
for name in office home staging; do printf '10.0.0.1 %s\r\n' "$name" >"$etc/hosts.$name"; done
mkdir -p "$drive_c/bench"
cp build-windows/bin/velmora.exe build-windows/bin/velmora_bare_window_windows.exe "$drive_c/bench/"
scripts/windows/wine-env.sh run "$state" "$PWD/build-windows/bin/velmora_window_bench_windows.exe" \
    'C:\bench\velmora.exe' 'C:\bench\velmora_bare_window_windows.exe' "${RUNS:-11}"
