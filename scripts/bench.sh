#!/usr/bin/env bash
# Builds the optimised program and runs the benchmarks; each prints its figures as ratios to a baseline.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset default >/dev/null
cmake --build --preset default --target velmora velmora_desktop velmora_switch_bench
# On the same disk as the build, not a memory file system, so that syncing costs what it really costs.
build/bin/velmora_switch_bench build/bin/velmora "${RUNS:-31}" "$PWD/build"
