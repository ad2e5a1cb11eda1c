#!/usr/bin/env bash
# Takes the pictures of tavexdl.exe in docs/ (windows-*.png): the program runs
# under wine on a wine desktop of the virtual display, against the keyboard
# simulator on COM1, and a tour program brings it to each state and cuts its
# windows from the screen.
#
#   scripts/under-wine.sh BUILD_DIR scripts/windows-screenshots.sh BUILD_DIR KBSIM
#
# BUILD_DIR is the Windows build; KBSIM the simulator built for this machine.
# Needs ImageMagick: scripts/install-deps.sh screenshots.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

fail() {
  echo "windows-screenshots.sh: $*" >&2
  exit 1
}

windows_path() { local path=${1//\//\\}; printf 'Z:%s' "$path"; }

[ $# -eq 2 ] || { echo "usage: scripts/windows-screenshots.sh BUILD_DIR KBSIM" >&2; exit 2; }
build=$(cd "$1" && pwd)
kbsim=$2
program=$build/bin/tavexdl.exe
tour=$build/tests/tavex_win32_screenshot_tour.exe
for file in "$program" "$tour" "$kbsim"; do
  [ -x "$file" ] || fail "$file is not built"
done
if [ -z "${WINEPREFIX:-}" ] || [ -z "${TAVEX_COM1_LINK:-}" ]; then
  fail "run me through scripts/under-wine.sh"
fi
# ImageMagick's converter by its Debian name first: another `convert` may
# come earlier on the PATH.
converter=$(command -v convert-im6.q16 || command -v convert) ||
  fail "ImageMagick is missing: run scripts/install-deps.sh screenshots"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Wine draws the caption buttons' symbols with its Marlett, which it finds
# in the prefix's fonts folder.
if [ -e /usr/share/wine/fonts/marlett.ttf ]; then
  cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
fi

# The image where an operator would keep it, so that the field shows a
# plain Windows path.
mkdir -p "$WINEPREFIX/drive_c/Firmware"
cp "$repo/examples/keyboard-tables.s20" "$WINEPREFIX/drive_c/Firmware/"
image='C:\Firmware\keyboard-tables.s20'

# shoot SHOT [SIMULATOR OPTION]...: docs/windows-SHOT.png, with a keyboard
# of hardware version 2 (it takes all three tables of the image) on COM1.
shoot() {
  local shot=$1 picture=$work/$1.bmp
  shift
  "$repo/tests/windows/with_keyboard.sh" "$kbsim" --hardware 2 "$@" -- \
    wine explorer /desktop=tavexdl,1024x768 "$tour" "$shot" "$(windows_path "$program")" \
    "$(windows_path "$picture")" "$image" </dev/null >"$work/$shot.log" 2>&1 || true
  [ -s "$picture" ] || { cat "$work/$shot.log" >&2; fail "no picture of $shot"; }
  "$converter" "$picture" -strip "$repo/docs/windows-$shot.png"
  echo "$repo/docs/windows-$shot.png"
}

shoot reminder
shoot idle
shoot about
# The tenth block is answered four seconds late (the watchdog waits six).
shoot downloading --pace --processing-ms 20 --fault S2#10:late=4000
# The keyboard refuses the third block.
shoot error --fault S2#3:ce
