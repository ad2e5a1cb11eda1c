#!/usr/bin/env bash
# Makes the Windows installer and zip from an already built Windows tree and
# shows what is in them: the zip's files, then the two packages.
set -euo pipefail
build=${1:-build/windows}

if [ ! -f "$build/CPackConfig.cmake" ]; then
  echo "package-windows.sh: $build is not a configured build tree" >&2
  exit 2
fi

# Older packages left beside the new ones would be taken for them.
rm -f "$build"/tavexdl-setup.exe "$build"/tavexdl-*-win64.zip
(cd "$build" && cpack --config CPackConfig.cmake)
zips=("$build"/tavexdl-*-win64.zip)
echo
unzip -l "${zips[0]}"
echo
ls -l "$build/tavexdl-setup.exe" "${zips[0]}"
