#!/usr/bin/env bash
# Takes the pictures of the desktop program in docs/: the program runs on a
# virtual X display against the keyboard simulator, keys are pressed as a
# person would press them, and each picture is cut from the display.
#
#   scripts/screenshots.sh BUILD_DIR
#
# Needs Xvfb, Openbox, xdotool and ImageMagick: scripts/install-deps.sh screenshots.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
main_title=' Tavex Firmware Upgrade Utility'
image=$repo/examples/keyboard-tables.s20
hardware=2        # a keyboard that takes all three tables of the image

work=""
pids=()

cleanup() {
  local pid
  for pid in "${pids[@]}"; do
    kill "$pid" 2>/dev/null || true
  done
  for pid in "${pids[@]}"; do
    wait "$pid" 2>/dev/null || true
  done
  pids=()
  if [ -n "$work" ]; then
    rm -rf "$work"
  fi
}

fail() {
  echo "screenshots.sh: $*" >&2
  exit 1
}

# Runs a program in the background and keeps its id, so that it is stopped
# however the script ends.
spawn() {
  "$@" &
  pids+=($!)
}

# Stops every program spawned after the display and its window manager,
# and waits for the program's windows to be gone, so that none of them is
# taken for a window of the next run.
stop_programs() {
  local pid
  for pid in "${pids[@]:2}"; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  pids=("${pids[@]:0:2}")
  for _ in $(seq 50); do
    [ -z "$(program_windows)" ] && return
    sleep 0.1
  done
  fail "the desktop program's windows did not close"
}

start_display() {
  local number=""
  spawn Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log"
  for _ in $(seq 100); do
    number=$(cat "$work/display")
    [ -n "$number" ] && break
    sleep 0.1
  done
  [ -n "$number" ] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
  export DISPLAY=":$number"
  for _ in $(seq 100); do
    xprop -root >/dev/null 2>&1 && break
    sleep 0.1
  done
  xprop -root >/dev/null || fail "display $DISPLAY does not answer: $(cat "$work/xvfb.log")"

  # A window manager, for the title bars and frames a person sees.
  spawn openbox --sm-disable >"$work/openbox.log" 2>&1
  for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return
    sleep 0.1
  done
  fail "openbox did not start: $(cat "$work/openbox.log")"
}

# Starts the simulator with the options given and sets `device` to the
# pseudo-terminal it serves, which it prints as its first line.
start_keyboard() {
  device=""
  spawn "$kbsim" --hardware "$hardware" "$@" >"$work/kbsim.out" 2>&1
  for _ in $(seq 100); do
    device=$(head -n 1 "$work/kbsim.out")
    [ -n "$device" ] && return
    sleep 0.1
  done
  fail "tavexdl-kbsim did not start: $(cat "$work/kbsim.out")"
}

# Starts the desktop program with settings of its own, in the folder that
# holds the image, so that the file can be typed by its short name. With
# "quiet" the start-up reminder is already turned off.
start_program() {
  local home
  home=$(mktemp -d "$work/home.XXXX")
  mkdir -p "$home/config/Norwick Inc." "$home/data" "$home/cache" "$home/runtime"
  chmod 700 "$home/runtime"
  if [ "${1:-}" = quiet ]; then
    printf '[General]\nStartup Reminder=0\n' >"$home/config/Norwick Inc./TavexDownloader.conf"
  fi
  (
    cd "$work"
    unset DBUS_SESSION_BUS_ADDRESS
    export HOME=$home XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data
    export XDG_CACHE_HOME=$home/cache XDG_RUNTIME_DIR=$home/runtime
    export TAVEXDL_COM1=${device:-/dev/null} QT_QPA_PLATFORM=xcb
    exec "$gui" >"$home/program.log" 2>&1
  ) &
  pids+=($!)
}

# The desktop program's visible windows, one id a line.
program_windows() {
  xdotool search --onlyvisible --classname '^tavexdl$' 2>/dev/null | sort || true
}

# Waits for a visible window whose title is exactly $1 and prints its id.
wait_window() {
  local id
  for _ in $(seq 150); do
    id=$(comm -12 <(program_windows) <(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | sort) | head -n 1)
    if [ -n "$id" ]; then
      echo "$id"
      return
    fi
    sleep 0.1
  done
  fail "no window titled '$1' appeared"
}

# Waits for a window of the program not among the ids in $1 and prints it.
wait_new_window() {
  local id
  for _ in $(seq 150); do
    id=$(comm -13 <(echo "$1") <(program_windows) | head -n 1)
    if [ -n "$id" ]; then
      echo "$id"
      return
    fi
    sleep 0.1
  done
  fail "no new window appeared"
}

# Prints "left top right bottom" of a window with its frame, on the display.
frame_bounds() {
  local info x y width height extents fl fr ft fb
  info=$(xwininfo -id "$1") || fail "window $1 is gone"
  x=$(awk '/Absolute upper-left X:/ { print $4 }' <<<"$info")
  y=$(awk '/Absolute upper-left Y:/ { print $4 }' <<<"$info")
  width=$(awk '/Width:/ { print $2 }' <<<"$info")
  height=$(awk '/Height:/ { print $2 }' <<<"$info")
  # left, right, top, bottom
  extents=$(xprop -id "$1" _NET_FRAME_EXTENTS | sed -n 's/.* = //p' | tr -d ,)
  read -r fl fr ft fb <<<"${extents:-0 0 0 0}"
  echo "$((x - fl)) $((y - ft)) $((x + width + fr)) $((y + height + fb))"
}

# Saves the smallest part of the display that holds every window given.
capture() {
  local out=$1
  shift
  local left=100000 top=100000 right=0 bottom=0 id bounds l t r b
  for id in "$@"; do
    bounds=$(frame_bounds "$id")
    read -r l t r b <<<"$bounds"
    if ((l < left)); then left=$l; fi
    if ((t < top)); then top=$t; fi
    if ((r > right)); then right=$r; fi
    if ((b > bottom)); then bottom=$b; fi
  done
  # Qt draws a window some moments after it is mapped.
  sleep 1
  import -window root -crop "$((right - left))x$((bottom - top))+$left+$top" +repage "$out"
  echo "$out"
}

focus() {
  xdotool windowactivate --sync "$1"
}

# Types the image's name into the file field, which has the focus when the
# window opens, then moves on past Browse and the COM list to Download and
# presses it. Enter would press Close, the default button.
start_download() {
  focus "$1"
  xdotool type --delay 30 "$(basename "$image")"
  xdotool key --delay 100 Tab Tab Tab space
}

shoot_reminder() {
  start_program
  local reminder
  reminder=$(wait_window Reminder)
  capture "$docs/reminder.png" "$reminder"
  stop_programs
}

shoot_idle_and_about() {
  start_program quiet
  local main about
  main=$(wait_window "$main_title")
  capture "$docs/idle.png" "$main"
  focus "$main"
  xdotool key F1
  about=$(wait_window "About Tavex Firmware Upgrade Utility")
  capture "$docs/about.png" "$about"
  stop_programs
}

# The tenth block is answered four seconds late (the watchdog waits six), so
# the download stands still halfway for long enough to be seen.
shoot_downloading() {
  start_keyboard --pace --processing-ms 20 --fault S2#10:late=4000
  start_program quiet
  local main
  main=$(wait_window "$main_title")
  start_download "$main"
  sleep 2
  capture "$docs/downloading.png" "$main"
  stop_programs
}

# The keyboard refuses the third block, and the download ends with a message.
shoot_error() {
  start_keyboard --fault S2#3:ce
  start_program quiet
  local main before message
  main=$(wait_window "$main_title")
  before=$(program_windows)
  start_download "$main"
  message=$(wait_new_window "$before")
  capture "$docs/error.png" "$main" "$message"
  stop_programs
}

main() {
  [ $# -eq 1 ] || { echo "usage: scripts/screenshots.sh BUILD_DIR" >&2; exit 2; }
  local build
  build=$(cd "$1" && pwd)
  gui=$build/bin/tavexdl
  kbsim=$build/bin/tavexdl-kbsim
  [ -x "$gui" ] || fail "$gui is not built"
  [ -x "$kbsim" ] || fail "$kbsim is not built"
  local tool
  for tool in Xvfb openbox xdotool xprop xwininfo import; do
    command -v "$tool" >/dev/null || fail "$tool is missing: run scripts/install-deps.sh screenshots"
  done

  docs=$repo/docs
  mkdir -p "$docs"
  work=$(mktemp -d)
  trap cleanup EXIT
  cp "$image" "$work/"

  start_display
  shoot_reminder
  shoot_idle_and_about
  shoot_downloading
  shoot_error
}

main "$@"
