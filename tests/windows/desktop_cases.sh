#!/usr/bin/env bash
# tavexdl.exe under wine on a virtual display, worked by the driver program
# (tavex_win32_desktop_driver.exe): desktop_cases.sh CASE. Run inside
# scripts/under-wine.sh; the test's environment names the programs
# ($TAVEX_KBSIM, $TAVEX_DESKTOP_EXE_UNIX, $TAVEX_DRIVER_EXE, $TAVEX_CLI_EXE)
# and $TAVEX_EXAMPLES; the driver runs on a wine desktop (wine_desktop.sh).
# A good download must leave the flash that `tavexdl-cli check --flash-out`
# predicts for the same image.
set -euo pipefail
export LC_ALL=C.UTF-8

scratch=$(mktemp -d)
keyboard=
cleanup() {
  [ -z "$keyboard" ] || kill -INT "$keyboard" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT

fail() { echo "FAILED: $*" >&2; exit 1; }
# shellcheck source-path=SCRIPTDIR source=wine_desktop.sh
source "$(dirname "$0")/wine_desktop.sh"

driver() { run_on_wine_desktop "$TAVEX_DRIVER_EXE" "$@" || fail "the driver's tests"; }

# start_keyboard [SIMULATOR OPTION]...: a simulator behind COM1.
start_keyboard() {
  "$TAVEX_KBSIM" "$@" --flash-out "$scratch/flash.txt" >"$scratch/keyboard.txt" 2>&1 &
  keyboard=$!
  for _ in $(seq 100); do
    [ -s "$scratch/keyboard.txt" ] && break
    sleep 0.05
  done
  ln -sfn "$(head -n 1 "$scratch/keyboard.txt")" "$TAVEX_COM1_LINK"
}

# stop_keyboard SUMMARY...: stops the simulator; its summary must hold
# every text given.
stop_keyboard() {
  kill -INT "$keyboard"
  wait "$keyboard" || true
  keyboard=
  local text
  for text in "$@"; do
    grep -qF -- "$text" "$scratch/keyboard.txt" || { cat "$scratch/keyboard.txt" >&2; fail "the keyboard's summary lacks '$text'"; }
  done
}

reminder_key='HKCU\Software\Norwick Inc.\TavexDownloader'

case "$1" in
start)
  TAVEX_DESKTOP_EXAMPLES=$(windows_path "$TAVEX_EXAMPLES") driver --gtest_filter='DesktopStart.*-DesktopStart.Unchecking*'
  ;;
reminder-off)
  # What the unchecked reminder stored, as the system's registry tool reads it.
  TAVEX_DESKTOP_KEEP_SETTING=1 driver --gtest_filter='DesktopStart.Unchecking*'
  stored=$(wine reg query "$reminder_key" /v 'Startup Reminder' </dev/null | tr -d '\r') || fail "no setting stored"
  wine reg delete "$reminder_key" /v 'Startup Reminder' /f </dev/null >/dev/null 2>&1 || true
  grep -Eq '^ +Startup Reminder +REG_DWORD +0x0$' <<<"$stored" || fail "the setting reads back as: $stored"
  ;;
download-s19)
  start_keyboard
  cp "$TAVEX_EXAMPLES/keyboard-small.s19" "$scratch/"
  TAVEX_DESKTOP_IMAGE=$(windows_path "$scratch/keyboard-small.s19") driver --gtest_filter='DesktopKeyboard.Downloads*'
  stop_keyboard
  wine "$TAVEX_CLI_EXE" check "$(windows_path "$scratch/keyboard-small.s19")" --hardware 1 \
    --flash-out "$(windows_path "$scratch/expected.txt")" </dev/null >/dev/null
  cmp -s "$scratch/expected.txt" "$scratch/flash.txt" || { cat "$scratch/keyboard.txt" >&2; fail "the keyboard's flash is not what the image leaves"; }
  ;;
enter-cancels)
  # A slow keyboard: the download is still running when Enter comes.
  start_keyboard --processing-ms 150
  cp "$TAVEX_EXAMPLES/keyboard-tables.s20" "$scratch/"
  TAVEX_DESKTOP_IMAGE=$(windows_path "$scratch/keyboard-tables.s20") driver --gtest_filter='DesktopKeyboard.Enter*'
  stop_keyboard ' T7 1 '
  ;;
silent-keyboard)
  # Two PINGs, one at each speed, and nothing after them.
  start_keyboard --fault C0:silent
  cp "$TAVEX_EXAMPLES/keyboard-small.s19" "$scratch/"
  TAVEX_DESKTOP_IMAGE=$(windows_path "$scratch/keyboard-small.s19") driver --gtest_filter='DesktopKeyboard.ASilent*'
  stop_keyboard 'frames: C0 2 T7 0 C1 0 S2 0 S8 0'
  ;;
*)
  fail "no case $1"
  ;;
esac
