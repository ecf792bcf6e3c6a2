#!/usr/bin/env bash
# Builds the fuzz targets (the `fuzz` preset: clang with libFuzzer, AddressSanitizer, UBSan), replays their
# seed corpora, then fuzzes each target for a bounded time (default 20 s; `scripts/fuzz.sh 300` for longer).
# A finding fails the run; its input is kept in build-fuzz/findings/<target>/. New inputs go to
# build-fuzz/corpus/<target>/ (kept between runs), never into the committed seeds.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-20}"

cmake --preset fuzz
cmake --build --preset fuzz
ctest --preset fuzz

failed=()
for binary in build-fuzz/fuzz/*_fuzz; do
    target="$(basename "$binary")"
    corpus="build-fuzz/corpus/$target"
    findings="build-fuzz/findings/$target"
    log="build-fuzz/logs/$target.log"
    mkdir -p "$corpus" "$findings" "$(dirname "$log")"
    if "$binary" -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$findings/" \
        "$corpus" "tests/fuzz/corpus/$target" >"$log" 2>&1; then
        status=ok
    else
        status=FINDING
        failed+=("$target")
    fi
    # libFuzzer's own figures: executions, coverage (edges) and features reached.
    execs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")"
    last="$(grep -E '^#[0-9]+' "$log" | tail -n 1)"
    cov="$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$last")"
    ft="$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$last")"
    printf '%-28s %-8s execs %-10s cov %-5s ft %s\n' "$target" "$status" "${execs:-?}" "${cov:-?}" "${ft:-?}"
done

if [ ${#failed[@]} -ne 0 ]; then
    for target in "${failed[@]}"; do
        echo "== $target: see build-fuzz/logs/$target.log and build-fuzz/findings/$target/" >&2
        grep -E 'broken promise|ERROR: |SUMMARY: ' "build-fuzz/logs/$target.log" >&2 || true
    done
    exit 1
fi
