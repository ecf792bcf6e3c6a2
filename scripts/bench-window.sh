#!/bin/sh
# The window benchmark: Velmora with 50 variants against an empty fixed-size Qt window (bench/bare_window),
# both started the same number of times, interleaved, on one virtual X server. Reports the medians of the
# time from process start until the window is mapped and of the peak RSS, and Velmora's ratios to the
# baseline. See bench/README.md for the method.
#
#   scripts/bench-window.sh [RUNS]      (default 21)
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build"
runs=${1:-21}

if [ "${VELMORA_BENCH_UNDER_XVFB:-}" != 1 ]; then
    cd "$root"
    [ -f "$build/build.ninja" ] || cmake --preset default >/dev/null
    cmake --build --preset default --target velmora velmora_desktop window_probe bare_window -j2 >/dev/null

    drive=$(mktemp -d)
    trap 'rm -rf "$drive"' EXIT
    etc="$drive/Windows/System32/drivers/etc"
    mkdir -p "$etc"
    printf '127.0.0.1 localhost\r\n' >"$etc/hosts"
    cp "$etc/hosts" "$etc/hosts.Default"
    i=1
    while [ "$i" -le 49 ]; do
        printf '10.0.0.%d variant%d.example\r\n' "$i" "$i" >"$etc/hosts.variant-$i"
        i=$((i + 1))
    done
    env -u QT_QPA_PLATFORMTHEME -u QT_STYLE_OVERRIDE -u QT_QPA_PLATFORM \
        VELMORA_BENCH_UNDER_XVFB=1 VELMORA_DRIVE_C="$drive" \
        xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" "$0" "$runs"
    exit
fi

results=$(mktemp)
trap 'rm -f "$results"' EXIT
probe() {  # probe NAME PROGRAM: one start; appends "NAME map_ms maxrss_kb" to the results
    line=$("$build/bin/window_probe" --settle-ms 300 -- "$2" 2>/dev/null)
    echo "$line" | sed -n "s/^map_ms=\([0-9.]*\) maxrss_kb=\([0-9]*\).*/$1 \1 \2/p" >>"$results"
}

# One start of each first, to warm the file cache; not counted.
probe warmup "$build/bin/bare_window"
probe warmup "$build/bin/velmora"
: >"$results"
i=1
while [ "$i" -le "$runs" ]; do
    probe bare "$build/bin/bare_window"
    probe velmora "$build/bin/velmora"
    i=$((i + 1))
done

median() {  # median NAME COLUMN
    awk -v n="$1" -v c="$2" '$1 == n { print $c }' "$results" | sort -n |
        awk '{ v[NR] = $1 } END { if (NR == 0) exit 1; print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
count_bare=$(awk '$1 == "bare"' "$results" | wc -l)
count_velmora=$(awk '$1 == "velmora"' "$results" | wc -l)
bare_ms=$(median bare 2)
velmora_ms=$(median velmora 2)
bare_kb=$(median bare 3)
velmora_kb=$(median velmora 3)
echo "runs: bare window $count_bare, velmora $count_velmora (50 variants)"
echo "time to mapped window, median: bare ${bare_ms} ms, velmora ${velmora_ms} ms, ratio $(awk -v a="$velmora_ms" -v b="$bare_ms" 'BEGIN { printf "%.2f", a / b }') (goal <= 1.30)"
echo "peak RSS, median:              bare ${bare_kb} KiB, velmora ${velmora_kb} KiB, ratio $(awk -v a="$velmora_kb" -v b="$bare_kb" 'BEGIN { printf "%.2f", a / b }') (goal <= 1.20)"
