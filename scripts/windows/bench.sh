#!/usr/bin/env bash
# Builds velmora.exe and the Windows switch benchmark, and runs it under Wine in a prefix of its own; it prints
# the figures as a ratio to `cmd /c copy` measured in the same run. RUNS=N changes the number of runs.
set -euo pipefail
cd "$(dirname "$0")/../.."
cmake --preset windows >/dev/null
cmake --build --preset windows --target velmora velmora_switch_bench_windows
state="$PWD/build-windows/wine-bench"
trap 'scripts/windows/wine-env.sh cleanup "$state"' EXIT
scripts/windows/wine-env.sh setup "$state" >/dev/null
scripts/windows/wine-env.sh run "$state" "$PWD/build-windows/bin/velmora_switch_bench_windows.exe" \
    "$PWD/build-windows/bin/velmora.exe" "${RUNS:-21}"
