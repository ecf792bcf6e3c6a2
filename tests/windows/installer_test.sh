#!/usr/bin/env bash
# The installer under Wine: it installs silently into Program Files with a Start-menu entry, the installed
# program switches the prefix's real hosts file, and the uninstaller removes the program again while the
# hosts directory and its variants stay.
set -euo pipefail
state=${1:?usage: installer_test.sh WINE_STATE INSTALLER}
installer=${2:?usage: installer_test.sh WINE_STATE INSTALLER}
here=$(cd "$(dirname "$0")" && pwd)
wine_env="$here/../../scripts/windows/wine-env.sh"
drive_c="$state/prefix/drive_c"
etc="$drive_c/windows/system32/drivers/etc"
installed="$drive_c/Program Files/Velmora"
menu="$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Velmora"

saved=$(mktemp -d)
cp -p "$etc"/hosts* "$saved"/
restore() {
    rm -f "$etc"/hosts*
    cp -p "$saved"/hosts* "$etc"/
    rm -rf "$saved"
}
trap restore EXIT

passed=0
failed=0
check() {  # check DESCRIPTION COMMAND...
    local what=$1
    shift
    if "$@"; then passed=$((passed + 1)); else echo "FAILED: $what"; failed=$((failed + 1)); fi
}
wait_for() {  # wait_for SECONDS COMMAND...: polls every 0.2 s
    local tries=$(($1 * 5))
    shift
    for _ in $(seq "$tries"); do "$@" && return 0; sleep 0.2; done
    "$@"
}
gone() { [ ! -e "$1" ]; }

installer_copy="$drive_c/velmora-installer-test.exe"  # run from drive C:, as a download would be
cp "$installer" "$installer_copy"
timeout 120 "$wine_env" run "$state" 'C:\velmora-installer-test.exe' /S </dev/null >/dev/null 2>&1 || true
rm -f "$installer_copy"
check "velmora.exe installed" test -f "$installed/velmora.exe"
check "uninstaller installed" test -f "$installed/uninstall.exe"
check "Start-menu entry" test -f "$menu/Velmora.lnk"
if [ -f "$menu/Velmora.lnk" ] && command -v lnkinfo >/dev/null; then
    target=$(lnkinfo "$menu/Velmora.lnk" | sed -n 's/^\tLocal path\t*: //p')
    check "Start-menu entry starts the installed program ($target)" test "${target,,}" = 'c:\program files\velmora\velmora.exe'
fi

printf '127.0.0.1 old\r\n' >"$etc/hosts"
printf '127.0.0.1 old\r\n' >"$etc/hosts.Default"
printf '10.1.2.3 installed\r\n' >"$etc/hosts.work"
status=0
timeout 60 "$wine_env" run "$state" 'C:\Program Files\Velmora\velmora.exe' work </dev/null >/dev/null 2>&1 || status=$?
check "the installed program switches (exit $status)" test "$status" -eq 0
check "hosts is the variant" cmp -s "$etc/hosts" "$etc/hosts.work"

timeout 60 "$wine_env" run "$state" 'C:\Program Files\Velmora\uninstall.exe' /S </dev/null >/dev/null 2>&1 || true
# The uninstaller starts a copy of itself from the temporary folder and returns at once.
check "velmora.exe removed" wait_for 30 gone "$installed/velmora.exe"
check "program folder removed" wait_for 10 gone "$installed"
check "Start-menu entry removed" wait_for 10 gone "$menu"
check "the variants stay" test -f "$etc/hosts.work" -a -f "$etc/hosts.Default" -a -f "$etc/hosts"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
