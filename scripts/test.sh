#!/usr/bin/env bash
# Installs what is missing, then builds and tests Velmora with warnings as errors: the toolkit-free logic on
# its own, the whole Linux program, and the whole Linux program again under AddressSanitizer and
# UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

for preset in logic ci ci-asan; do
    echo "== $preset build =="
    cmake --preset "$preset"
    cmake --build --preset "$preset"
    ctest --preset "$preset"
done
