#!/usr/bin/env bash
# Installs what is missing, builds Velmora with warnings as errors and runs every test; then does the same
# with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

for preset in default asan; do
    echo "== $preset build =="
    cmake --preset "$preset" -DVELMORA_WARNINGS_AS_ERRORS=ON
    cmake --build --preset "$preset"
    ctest --preset "$preset"
done
