#!/usr/bin/env bash
# Runs a Windows program against the keyboard simulator on COM1:
#   with_keyboard.sh KBSIM [SIMULATOR OPTION]... -- COMMAND...
# The simulator serves a pseudo-terminal; the link wine maps COM1 to
# ($TAVEX_COM1_LINK, set by scripts/under-wine.sh) is pointed at it for the
# command. The simulator's summary follows the command's output on stderr.
# Exit: the command's. Tests using it must not run at once (they share COM1).
set -euo pipefail

kbsim=$1
shift
simulator_options=()
while [ "$#" -gt 0 ] && [ "$1" != "--" ]; do
  simulator_options+=("$1")
  shift
done
shift

summary=$(mktemp)
coproc SIMULATOR { exec "$kbsim" "${simulator_options[@]}" 2>"$summary"; }
simulator_pid=$SIMULATOR_PID
read -r device <&"${SIMULATOR[0]}"
ln -sfn "$device" "$TAVEX_COM1_LINK"

status=0
"$@" || status=$?

kill -INT "$simulator_pid" 2>/dev/null || true
cat <&"${SIMULATOR[0]}" >&2 || true
wait "$simulator_pid" 2>/dev/null || true
cat "$summary" >&2
rm -f "$summary"
exit "$status"
