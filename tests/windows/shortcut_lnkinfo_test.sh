#!/usr/bin/env bash
# Reads the desktop shortcut that the window test wrote through WScript.Shell with lnkinfo, an independent
# Shell Link reader on the Linux side: target, arguments, working directory and icon. Removes it afterwards.
set -euo pipefail
state=${1:?usage: shortcut_lnkinfo_test.sh WINE_STATE}
folder="$state/prefix/drive_c/velmora-shortcut-check"
link="$folder/Hosts-work.lnk"
trap 'rm -rf "$folder"' EXIT
[ -f "$link" ] || { echo "no shortcut was left by the window test: $link"; exit 1; }

field() { lnkinfo "$link" | sed -n "s/^\t$1\t*: //p" | tr -d '\r'; }
failures=0
expect() {
    local name=$1 expected=$2 actual
    actual=$(field "$name")
    if [ "${actual,,}" != "${expected,,}" ]; then
        echo "$name: expected '$expected', got '$actual'"
        failures=$((failures + 1))
    fi
}
expect "Local path" 'C:\Program Files\Velmora window\velmora.exe'
expect "Command line arguments" 'work'
expect "Working directory" 'C:\Program Files\Velmora window'
expect "Icon location" 'C:\Program Files\Velmora window\velmora.exe'
expect "Icon index" '0'
[ "$failures" -eq 0 ] && echo "lnkinfo reads the shortcut: 5 passed, 0 failed"
exit "$failures"
