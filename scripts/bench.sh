#!/usr/bin/env bash
# Builds the optimised program and runs the benchmarks; each prints its figures as ratios to a baseline.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset default >/dev/null
cmake --build --preset default --target velmora velmora_desktop velmora_switch_bench velmora_display_switch_bench
# On the same disk as the build, not a memory file system, so that syncing costs what it really costs.
build/bin/velmora_switch_bench build/bin/velmora "${RUNS:-31}" "$PWD/build"
# The launcher's switch with an X display against the same switch without one. -noreset: a desktop always has
# other clients, so its X server never resets between two switches (see bench/README.md).
xvfb-run -a -s "-noreset -screen 0 1024x768x24" \
    build/bin/velmora_display_switch_bench build/bin/velmora "${RUNS:-101}" "$PWD/build"
