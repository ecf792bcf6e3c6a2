#!/usr/bin/env bash
# Checks that the C++ lines a change touches are laid out as .clang-format says; the rest of a file is left
# as it is. The change is the work since the branch left main, or, on main itself, the last commit (a merge
# brings its whole branch); VELMORA_FORMAT_BASE names another base. Where there is no base to compare with
# (a shallow or single-commit clone, an unpacked source tarball) there is nothing to check.
# Usage: scripts/check-format.sh          prints the layout the touched lines should have; fails if any differ
set -euo pipefail
cd "$(dirname "$0")/.."

if ! git rev-parse --verify --quiet HEAD >/dev/null 2>&1; then
    echo "format check: not a git checkout, nothing to compare with"
    exit 0
fi

base=${VELMORA_FORMAT_BASE:-}
if [ -z "$base" ]; then
    head=$(git rev-parse HEAD)
    fork=$(git merge-base HEAD main 2>/dev/null || git merge-base HEAD origin/main 2>/dev/null || true)
    if [ -n "$fork" ] && [ "$fork" != "$head" ]; then
        base=$fork
    elif git rev-parse --verify --quiet HEAD~1 >/dev/null; then
        base=HEAD~1
    else
        echo "format check: HEAD has no parent in this clone, nothing to compare with"
        exit 0
    fi
fi

echo "format check: lines changed since $(git rev-parse --short "$base")"
# git clang-format (version 14) exits with 0 whether or not it found a difference: its diff output says.
difference=$(git clang-format --diff --extensions cpp,h "$base" -- .)
echo "$difference"
if grep -q '^diff ' <<<"$difference"; then
    echo "format check: the lines above differ from .clang-format; to lay them out: git clang-format $(git rev-parse --short "$base")" >&2
    exit 1
fi
