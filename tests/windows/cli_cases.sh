#!/usr/bin/env bash
# tavexdl-cli.exe under wine, downloading to the keyboard simulator on COM1
# (and COM2): cli_cases.sh CASE. Run inside scripts/under-wine.sh, which maps
# the ports to $TAVEX_COM1_LINK and $TAVEX_COM2_LINK; the test's environment
# names the programs ($TAVEX_KBSIM, $TAVEX_CLI_EXE), $TAVEX_EXAMPLES and
# $TAVEX_BUILD_VERSION.
# A good download must leave the flash that `check --flash-out` predicts for
# the same image and hardware version.
set -euo pipefail
export LC_ALL=C.UTF-8  # wine reads the arguments it is given in the locale's encoding

scratch=$(mktemp -d)
keyboards=()
cleanup() {
  for pid in "${keyboards[@]}"; do kill -INT "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  [ -n "${TAVEX_KEEP_SCRATCH:-}" ] || rm -rf "$scratch"; echo "scratch: $scratch" >&2
}
trap cleanup EXIT

fail() { echo "FAILED: $*" >&2; exit 1; }

# start_keyboard N [SIMULATOR OPTION]...: a simulator behind COM N.
start_keyboard() {
  local number=$1
  shift
  "$TAVEX_KBSIM" "$@" --flash-out "$scratch/flash$number.txt" >"$scratch/keyboard$number.txt" 2>&1 &
  keyboards+=("$!")
  for _ in $(seq 100); do
    [ -s "$scratch/keyboard$number.txt" ] && break
    sleep 0.05
  done
  local link_variable="TAVEX_COM${number}_LINK"
  ln -sfn "$(head -n 1 "$scratch/keyboard$number.txt")" "${!link_variable}"
}

# Stops the simulators; their summaries and flash listings are then complete.
stop_keyboards() {
  for pid in "${keyboards[@]}"; do kill -INT "$pid" 2>/dev/null || true; done
  wait "${keyboards[@]}" 2>/dev/null || true
  keyboards=()
}

# block_image FILE BLOCKS: an .s19 image of BLOCKS write-block records.
block_image() {
  local address checksum
  for ((block = 0; block < $2; block++)); do
    address=$((0x1000 + 16 * block))
    checksum=$(((~(8 + (address >> 16) + ((address >> 8) & 255) + (address & 255) + 1 + 2 + 3 + 4)) & 255))
    printf 'S208%06X01020304%02X\r\n' "$address" "$checksum"
  done >"$1"
}

# wait_for_event TEXT: until the running download has printed TEXT (a bound
# on a hang only).
wait_for_event() {
  for _ in $(seq 600); do
    grep -qF -- "$1" "$scratch/events.txt" 2>/dev/null && return 0
    sleep 0.05
  done
  cat "$scratch/events.txt" >&2
  fail "no event with $1 within 30 s"
}

windows_path() { local path=${1//\//\\}; printf 'Z:%s' "$path"; }

# A copy of a sample image: a download holds its image for itself.
sample() {
  cp "$TAVEX_EXAMPLES/$1" "$scratch/$1"
  windows_path "$scratch/$1"
}

cli() { wine "$TAVEX_CLI_EXE" "$@" </dev/null; }

# download EXPECTED_EXIT ARGUMENT...: the JSON events in $scratch/events.txt.
download() {
  local expected=$1
  shift
  local status=0
  cli download "$@" --json >"$scratch/events.txt" 2>"$scratch/stderr.txt" || status=$?
  if [ "$status" -ne "$expected" ]; then
    stop_keyboards
    cat "$scratch/events.txt" "$scratch/stderr.txt" "$scratch"/keyboard*.txt >&2
    fail "tavexdl-cli download exited $status, not $expected"
  fi
}

expect_event() {
  grep -qF -- "$1" "$scratch/events.txt" || { cat "$scratch/events.txt" >&2; fail "no event with $1"; }
}

expect_summary() {
  grep -qF -- "$2" "$scratch/keyboard$1.txt" || { cat "$scratch/keyboard$1.txt" >&2; fail "keyboard $1: no '$2'"; }
}

# expect_flash N IMAGE HARDWARE: keyboard N holds what the image leaves, as
# `check` predicts it and, for a sample, as written down for it once.
expect_flash() {
  cli check "$(windows_path "$scratch/$2")" --hardware "$3" --flash-out "$(windows_path "$scratch/expected.txt")" \
    >/dev/null
  cmp -s "$scratch/expected.txt" "$scratch/flash$1.txt" || fail "keyboard $1's flash is not what $2 leaves"
  local written_down="$TAVEX_FLASH_LISTINGS/${2%.*}-hardware$3.txt"
  if [ -f "$written_down" ]; then
    cmp -s "$written_down" "$scratch/flash$1.txt" || fail "keyboard $1's flash is not the one written down for $2"
  fi
}

case "$1" in
good-s19)
  start_keyboard 1
  download 0 "$(sample keyboard-small.s19)" --com 1
  expect_event '"result":"ok"'
  stop_keyboards
  expect_flash 1 keyboard-small.s19 1
  ;;
good-s20-traced-and-logged)
  start_keyboard 1 --hardware 2
  download 0 "$(sample keyboard-tables.s20)" --device COM1 --trace --log "$(windows_path "$scratch/station.csv")"
  expect_event '"hardware":2'
  grep -q "COM1: .* sent .*43 30" "$scratch/stderr.txt" || fail "no traced PING"
  [ "$(head -n 1 "$scratch/station.csv")" = "time,device,image,hardware,result,message,image_sha256,blocks,bytes,seconds" ] ||
    fail "no header line in the log"
  sha=$(sha256sum "$TAVEX_EXAMPLES/keyboard-tables.s20" | cut -d ' ' -f 1)
  grep -q "\"COM1\",\".*keyboard-tables.s20\",2,ok,\"\",$sha,20,313," "$scratch/station.csv" || fail "no log line"
  expect_event "\"image_sha256\":\"$sha\""
  stop_keyboards
  expect_flash 1 keyboard-tables.s20 2
  ;;
retry-at-57600)
  start_keyboard 1 --only-baud 57600
  download 0 "$(sample keyboard-small.s19)" --com 1
  expect_event 'at  57600 Baudrate'
  stop_keyboards
  expect_flash 1 keyboard-small.s19 1
  ;;
silent-keyboard)
  start_keyboard 1 --fault C0:silent
  download 1 "$(sample keyboard-small.s19)" --com 1
  expect_event 'Communication could not be established'
  expect_event '"result":"failed","reason":null,"blocks":0'
  stop_keyboards
  expect_summary 1 'frames: C0 2 T7 0 C1 0 S2 0'
  ;;
checksum-error)
  start_keyboard 1 --fault S2:ce
  download 1 "$(sample keyboard-small.s19)" --com 1
  expect_event '"event":"message"'
  expect_event '"result":"failed"'
  stop_keyboards
  expect_summary 1 ' S2 1 '
  ;;
two-keyboards)
  start_keyboard 1
  start_keyboard 2 --hardware 0
  download 0 "$(sample keyboard-small.s19)" --com 1,2
  expect_event '"device":"COM1"'
  expect_event '"device":"COM2"'
  stop_keyboards
  expect_flash 1 keyboard-small.s19 1
  expect_flash 2 keyboard-small.s19 0
  ;;
ctrl-c-cancels)
  # Wine turns SIGINT into the console's Ctrl-C event.
  start_keyboard 1 --pace-baud 1200
  block_image "$scratch/big.s19" 400
  # wine itself in the background: a function there runs in a shell that
  # ignores SIGINT.
  wine "$TAVEX_CLI_EXE" download "$(windows_path "$scratch/big.s19")" --com 1 --json </dev/null \
    >"$scratch/events.txt" 2>&1 &
  download_pid=$!
  wait_for_event '"percent":1'
  kill -INT "$download_pid"
  status=0
  wait "$download_pid" || status=$?
  [ "$status" -eq 130 ] || fail "a cancelled download exited $status, not 130"
  expect_event '"result":"cancelled"'
  stop_keyboards
  expect_summary 1 ' S8 1 '
  ;;
station-loop)
  # Enter on standard input starts the next keyboard; Ctrl-C while the
  # device waits ends a station whose downloads were all good.
  start_keyboard 1
  mkfifo "$scratch/operator"
  wine "$TAVEX_CLI_EXE" download "$(sample keyboard-small.s19)" --com 1 --loop --json <"$scratch/operator" \
    >"$scratch/events.txt" 2>&1 &
  download_pid=$!
  exec 3>"$scratch/operator"
  wait_for_event '"event":"waiting"'
  echo >&3
  for _ in $(seq 200); do
    [ "$(grep -c '"event":"waiting"' "$scratch/events.txt")" -ge 2 ] && break
    sleep 0.05
  done
  kill -INT "$download_pid"
  status=0
  wait "$download_pid" || status=$?
  exec 3>&-
  [ "$status" -eq 0 ] || { cat "$scratch/events.txt" >&2; fail "the station exited $status, not 0"; }
  [ "$(grep -c '"result":"ok"' "$scratch/events.txt")" -eq 2 ] || fail "not two good downloads"
  stop_keyboards
  expect_summary 1 'frames: C0 2 T7 2 C1 2 S2 14 S8 2'
  ;;
same-port-twice)
  # COM1, com1 and \\.\COM1 are one port: a usage error before any frame.
  start_keyboard 1
  for names in "--com 1 --device com1" "--device COM1 --device \\\\.\\COM1"; do
    # shellcheck disable=SC2086
    download 2 "$(sample keyboard-small.s19)" $names
    grep -q "names a device already given" "$scratch/stderr.txt" || fail "$names: not refused as one port"
  done
  stop_keyboards
  expect_summary 1 'frames: C0 0 '
  ;;
log-never-on-image-or-port)
  # A log line appended to the image or sent to the port would harm the
  # firmware, and an empty log name would lose the log unseen: usage errors,
  # before any frame, the image untouched.
  start_keyboard 1
  image=$(sample keyboard-small.s19)
  short_image=$(printf '%s' "$image" | tr 'a-z' 'A-Z')  # Windows names are one in any case
  logs=("$image" "$short_image" "COM1" "\\\\.\\com1" "")
  reasons=("is the image file" "is the image file" "is the device of COM1" "is the device of COM1"
    "--log takes a file name, not an empty one")
  for index in "${!logs[@]}"; do
    download 2 "$image" --com 1 --log "${logs[$index]}"
    grep -qF -- "${reasons[$index]}" "$scratch/stderr.txt" || {
      cat "$scratch/stderr.txt" >&2
      fail "--log '${logs[$index]}': not refused as $(printf '%s' "${reasons[$index]}")"
    }
  done
  cmp -s "$scratch/keyboard-small.s19" "$TAVEX_EXAMPLES/keyboard-small.s19" || fail "the image was written to"
  stop_keyboards
  expect_summary 1 'frames: C0 0 '
  ;;
missing-port-named)
  # On Windows a device argument is a COM port: its messages name that port,
  # not COM 1.
  image=$(sample keyboard-small.s19)
  download 1 "$image" --device COM12
  expect_event '"text":"Error: COM 12 could not be opened."'
  download 1 "$image" --device '\\.\com9'
  expect_event '"text":"Error: COM 9 could not be opened."'
  expect_event '"detail":"\\\\.\\COM9: No such file or directory","reason":"not-found"'
  expect_event '"result":"failed","reason":"not-found"'
  # Reasons in the Linux port's words: a file or NUL opens, but is no port.
  : >"$scratch/plain.txt"
  for device in "$(windows_path "$scratch/plain.txt")" NUL; do
    download 1 "$image" --device "$device"
    expect_event ': not a serial port","reason":"unsupported"'
  done
  ;;
names-beyond-ascii)
  # Names arrive as the system's UTF-16 and are opened as such: an image and
  # a log whose names no ANSI code page holds.
  start_keyboard 1
  cp "$TAVEX_EXAMPLES/keyboard-small.s19" "$scratch/прошивка-ü.s19"
  download 0 "$(windows_path "$scratch/прошивка-ü.s19")" --com 1 --log "$(windows_path "$scratch/журнал.csv")"
  grep -q 'прошивка-ü.s19",1,ok,' "$scratch/журнал.csv" || fail "no log line naming the image"
  stop_keyboards
  expect_flash 1 прошивка-ü.s19 1
  ;;
ports-and-version)
  # The system's port list, never opened, and the version the About box shows.
  start_keyboard 1
  cli ports >"$scratch/ports.txt"
  cli ports --json >"$scratch/ports.json"
  grep -q '^COM1  ' "$scratch/ports.txt" || { cat "$scratch/ports.txt" >&2; fail "COM1 is not listed"; }
  grep -q '{"device":"COM1","com":\[\],' "$scratch/ports.json" || fail "COM1 is not listed in JSON"
  stop_keyboards
  expect_summary 1 'frames: C0 0 '
  [ "$(cli --version | tr -d '\r')" = "$(printf 'Tavex Firmware Upgrade Utility\nVersion 2.12.00.01\nTavexDL %s' "$TAVEX_BUILD_VERSION")" ] ||
    fail "not the About box's version"
  ;;
device-never-came)
  download 1 "$(sample keyboard-small.s19)" --device COM9 --wait 1
  expect_event '{"event":"waiting","seconds":1}'
  expect_event 'did not appear within 1 seconds.","reason":"not-found"'
  ;;
*)
  fail "no case $1"
  ;;
esac
