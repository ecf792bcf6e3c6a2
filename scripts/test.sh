#!/usr/bin/env bash
# Installs what is missing, checks the layout of the lines the change touches (scripts/check-format.sh), then
# builds and tests Velmora with warnings as errors: the toolkit-free logic on its own, the whole Linux program,
# and the whole Linux program again under AddressSanitizer and UndefinedBehaviorSanitizer; then the Windows
# program, cross-built with mingw-w64 and tested under Wine; last the parsers of outside text, fuzzed for 20 s
# each (clang, libFuzzer).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
scripts/check-format.sh

for preset in logic ci ci-asan; do
    echo "== $preset build =="
    cmake --preset "$preset"
    cmake --build --preset "$preset"
    ctest --preset "$preset"
done

echo "== ci-windows build =="
cmake --preset ci-windows
cmake --build --preset ci-windows
ctest --preset ci-windows

echo "== fuzz build and runs =="
scripts/fuzz.sh 20
