#!/usr/bin/env bash
# Runs a command (the Windows tests) with wine ready and fenced in:
#   scripts/under-wine.sh BUILD_DIR COMMAND...
# - in a mount namespace of its own, with /dev/null over every /dev/ttyS*:
#   wine gives each of them a COM number, and /dev/ttyS0 is this machine's
#   console, which no test may reach;
# - with a wine prefix of the build's own (BUILD_DIR/wineprefix), its server
#   started here and the prefix made before the command runs: otherwise every
#   program that reads a wine program's output waits seconds for the server,
#   and a pseudo-terminal can become the server's controlling terminal;
# - with an Xvfb screen of its own as $DISPLAY;
# - COM1 to COM3 mapped to BUILD_DIR/com1 to com3, symbolic links the tests
#   point at each simulator's pseudo-terminal ($TAVEX_COM1_LINK, ...);
# - without winemenubuilder, which would copy every Start-menu shortcut an
#   installer makes into this machine's own desktop menus and icons.
set -euo pipefail

build_dir=$(realpath "$1")
shift

if [ -z "${TAVEX_WINE_FENCED:-}" ]; then
  export TAVEX_WINE_FENCED=1
  exec unshare -m --propagation private "$0" "$build_dir" "$@"
fi
for port in /dev/ttyS*; do
  [ -e "$port" ] && mount --bind /dev/null "$port"
done

export WINEPREFIX="$build_dir/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINEARCH=win64
export TAVEX_COM1_LINK="$build_dir/com1"
export TAVEX_COM2_LINK="$build_dir/com2"
export TAVEX_COM3_LINK="$build_dir/com3"
mkdir -p "$WINEPREFIX"

# A screen of its own for the windows of the desktop program's tests.
rm -f "$build_dir/xvfb.display"
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$build_dir/xvfb.display" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 200); do
  [ -s "$build_dir/xvfb.display" ] && break
  sleep 0.05
done
export DISPLAY=":$(cat "$build_dir/xvfb.display")"

# Started in the background by itself, wineserver returns once it takes
# clients: a program started before that would start a server of its own.
start_server() { wineserver -p >>"$build_dir/wineserver.log" 2>&1 </dev/null; }
stop_server() { wineserver -k 2>/dev/null || true; wineserver -w 2>/dev/null || true; }
: >"$build_dir/wineserver.log"
start_server
trap 'stop_server; kill $xvfb 2>/dev/null || true' EXIT
wineboot --init </dev/null >"$build_dir/wineboot.log" 2>&1
for number in 1 2 3; do
  link_variable="TAVEX_COM${number}_LINK"
  wine reg add 'HKLM\Software\Wine\Ports' /v "COM$number" /d "${!link_variable}" /f </dev/null >/dev/null 2>&1
done
# The port map is read when the server starts: restart it with the map in place.
stop_server
start_server
wine cmd /c exit </dev/null >/dev/null 2>&1

"$@"
