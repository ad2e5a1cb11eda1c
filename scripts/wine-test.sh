#!/usr/bin/env bash
# Runs a Windows test program under wine for CTest (the cross build's
# emulator): wine-test.sh PROGRAM [ARGUMENT]...
#
# Wine now and then fails a program in two ways that are wine's own, seen
# under load on a fresh prefix: the process ends at once, having printed
# nothing (the program never ran), or googletest has printed its verdict and
# the process never ends. The first is run once more; the second is ended
# after a grace period and keeps the verdict googletest printed. Both are
# said in the output, so a log shows every time wine needed it.
set -uo pipefail

grace_seconds=${TAVEX_WINE_EXIT_GRACE:-15}
output=$(mktemp)
trap 'rm -f "$output"' EXIT

run_once() {
  wine "$@" >"$output" 2>&1 &
  local pid=$! verdict_seen=0
  while kill -0 "$pid" 2>/dev/null; do
    if [ "$verdict_seen" = 0 ] && grep -q '^\[  \(PASSED\|FAILED\)  \]' "$output"; then
      verdict_seen=$SECONDS
    fi
    if [ "$verdict_seen" != 0 ] && [ $((SECONDS - verdict_seen)) -ge "$grace_seconds" ]; then
      kill -9 "$pid" 2>/dev/null
      wait "$pid" 2>/dev/null
      cat "$output"
      echo "wine-test: the tests had ended, but wine did not end the process in ${grace_seconds} s; ended it"
      grep -q '^\[  FAILED  \]' "$output" && return 1
      return 0
    fi
    sleep 0.05
  done
  wait "$pid"
  local status=$?
  cat "$output"
  return $status
}

run_once "$@"
status=$?
if [ "$status" != 0 ] && [ ! -s "$output" ]; then
  echo "wine-test: wine ended the program at once with status $status and no output; running it once more"
  run_once "$@"
  status=$?
fi
exit $status
