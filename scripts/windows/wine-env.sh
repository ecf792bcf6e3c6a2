#!/usr/bin/env bash
# A private Wine world for the Windows tests, kept under one state folder:
#   wine-env.sh setup STATE [KEEPER]   a throw-away HOME, an Xvfb display, a running wineserver and a fresh prefix;
#                                      KEEPER, a Windows program that waits, keeps Wine's services up meanwhile
#   wine-env.sh run STATE PROGRAM ...  runs a Windows program there (the tests' cross-compiling emulator)
#   wine-env.sh cleanup STATE          stops the server and the display and removes everything
# With VELMORA_WINE_DISPLAY set (say to "$DISPLAY"), setup uses that display instead of starting Xvfb, so
# that the boxes can be seen and answered.
# Background processes are started with their standard streams detached: ctest reads a test's output until
# every holder of the pipe has gone, and a wineserver or Xvfb would hold it for as long as it runs.
set -euo pipefail

command=${1:?usage: wine-env.sh setup|run|cleanup STATE [PROGRAM ARGS...]}
state=${2:?usage: wine-env.sh setup|run|cleanup STATE [PROGRAM ARGS...]}
shift 2

wine_loader() { command -v wine64 || command -v wine || echo /usr/lib/wine/wine64; }
wine_server() { command -v wineserver || echo /usr/lib/wine/wineserver; }

enter() {
    export WINEPREFIX="$state/prefix" HOME="$state/home" WINEDEBUG=-all
    # A saved .lnk would otherwise also become a launcher in the real desktop menus.
    export WINEDLLOVERRIDES="winemenubuilder.exe=d${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"
    unset XDG_CONFIG_HOME XDG_DATA_HOME XDG_DESKTOP_DIR
    if [ -s "$state/display" ]; then export DISPLAY="$(cat "$state/display")"; else unset DISPLAY; fi
}

cleanup() {
    [ -d "$state" ] || return 0
    enter
    # The server goes first, then its prefix, then the display (the other order orphans Wine's services).
    # The server must be gone before its prefix: a new prefix can get the same inode, and so the same
    # server socket, and its first program would then meet the dying server.
    if [ -d "$WINEPREFIX" ]; then
        "$(wine_server)" -k </dev/null >/dev/null 2>&1 || true
        "$(wine_server)" -w </dev/null >/dev/null 2>&1 || true
    fi
    rm -rf "$state/prefix" "$state/home"
    if [ -s "$state/xvfb.pid" ]; then kill "$(cat "$state/xvfb.pid")" 2>/dev/null || true; fi
    rm -rf "$state"
}

setup() {
    trap '[ -f "$state/wineboot.log" ] && cat "$state/wineboot.log" >&2' ERR
    cleanup
    mkdir -p "$state/home" "$state/prefix"
    if [ -n "${VELMORA_WINE_DISPLAY:-}" ]; then
        echo "$VELMORA_WINE_DISPLAY" >"$state/display"
    elif command -v Xvfb >/dev/null; then
        # Xvfb picks a free display itself and writes its number to descriptor 3.
        Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 3>"$state/display-number" </dev/null >/dev/null 2>&1 &
        echo $! >"$state/xvfb.pid"
        for _ in $(seq 100); do [ -s "$state/display-number" ] && break; sleep 0.1; done
        [ -s "$state/display-number" ] || { echo "Xvfb did not start" >&2; exit 1; }
        echo ":$(head -n1 "$state/display-number")" >"$state/display"
    fi
    enter
    # The display is decided by the first Wine process of a server session: it is exported before this.
    "$(wine_server)" -p 300 </dev/null >/dev/null 2>&1 &
    "$(wine_loader)" wineboot -i </dev/null >"$state/wineboot.log" 2>&1
    # Without a window manager a window closes in milliseconds instead of two seconds when Wine draws its frame.
    "$(wine_loader)" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >>"$state/wineboot.log" 2>&1
    # A program that crashes ends at once instead of waiting in a crash debugger until the test times out.
    # Without a Debugger value Wine starts `winedbg --auto`, which can wait for ever; a debugger that does not
    # exist cannot be started, and the crashing program then ends with its exception code.
    aedebug='HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug'
    "$(wine_loader)" reg add "$aedebug" /v Debugger /d 'C:\windows\no-crash-debugger.exe %ld %ld' /f </dev/null >>"$state/wineboot.log" 2>&1
    "$(wine_loader)" reg add "$aedebug" /v Auto /d 1 /f </dev/null >>"$state/wineboot.log" 2>&1
    if [ -n "${keeper:-}" ]; then "$(wine_loader)" "$keeper" </dev/null >/dev/null 2>&1 & fi
    echo "Wine prefix ready in $WINEPREFIX${DISPLAY:+ on display $DISPLAY}"
}

case "$command" in
setup) keeper=${1:-}; setup ;;
cleanup) cleanup ;;
run) enter; exec "$(wine_loader)" "$@" ;;
*) echo "unknown command: $command" >&2; exit 2 ;;
esac
