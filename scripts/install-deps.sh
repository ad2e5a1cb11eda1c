#!/usr/bin/env bash
# Installs, from Debian's packages, whatever the build and the tests need and
# this machine lacks. Safe to run again: it asks apt only for missing packages.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  clang libclang-rt-dev                 # libFuzzer and the sanitizer runtimes
  qt6-base-dev qt6-serialport-dev       # Qt 6 Widgets, Core, DBus and SerialPort
  qt6-svg-dev qt6-qpa-plugins           # the SVG icon; the offscreen and X11 platforms
  libgtest-dev libgmock-dev libbenchmark-dev
  srecord                               # srec_info, the yardstick of the benchmark
  xvfb xauth
)

# `install-deps.sh screenshots` adds what scripts/screenshots.sh drives the
# desktop program with and what both screenshot scripts cut and convert the
# pictures with; the build and the tests do without them.
if [ "${1:-}" = screenshots ]; then
  packages+=(openbox xdotool x11-utils imagemagick fonts-dejavu-core)
fi

# `install-deps.sh windows` adds the cross compiler for the Win32 programs,
# wine, which runs their tests here, with its own fonts (the dialogs' font and
# the caption buttons' symbols), and NSIS, which makes their installer (unzip
# lists the zip beside it).
if [ "${1:-}" = windows ]; then
  packages+=(mingw-w64 g++-mingw-w64-x86-64 wine wine64 fonts-wine nsis unzip)
fi

# `install-deps.sh icon` adds what scripts/make-icon.sh draws the Windows icon
# with; the build uses the icon it committed and does without them.
if [ "${1:-}" = icon ]; then
  packages+=(librsvg2-bin icoutils)
fi

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
