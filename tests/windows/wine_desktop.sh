#!/usr/bin/env bash
# A test program whose windows need a display, run under wine on a desktop
# of its own: wine_desktop.sh PROGRAM [ARGUMENT]..., or, sourced, the
# function run_on_wine_desktop with the same arguments and windows_path.
# Run inside scripts/under-wine.sh. PROGRAM is a googletest program; it gets
# $TAVEX_DESKTOP_EXE, the Windows path of $TAVEX_DESKTOP_EXE_UNIX when that
# is set. The virtual display is the test's own, and so is the wine desktop
# on it (wine's default desktop may have been made without one). The desktop
# does not pass the program's exit status on: its report does.
set -euo pipefail

windows_path() { local path=${1//\//\\}; printf 'Z:%s' "$path"; }

run_on_wine_desktop() {
  local report status=0
  report=$(mktemp -d)/report.xml
  if [ -n "${TAVEX_DESKTOP_EXE_UNIX:-}" ]; then
    TAVEX_DESKTOP_EXE=$(windows_path "$TAVEX_DESKTOP_EXE_UNIX")
    export TAVEX_DESKTOP_EXE
  fi
  xvfb-run -a -s "-screen 0 1024x768x24" \
    wine explorer /desktop=tavex,1024x768 "$1" "${@:2}" --gtest_output="xml:$(windows_path "$report")" \
    </dev/null
  if [ ! -s "$report" ]; then
    echo "FAILED: $(basename "$1") left no report" >&2
    status=1
  elif ! grep -q '<testsuites tests="[1-9][0-9]*" failures="0" disabled="0" errors="0"' "$report"; then
    echo "FAILED: the tests of $(basename "$1") failed" >&2
    grep -A 4 '<failure' "$report" >&2 || true
    status=1
  fi
  rm -rf "$(dirname "$report")"
  return $status
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  run_on_wine_desktop "$@"
fi
