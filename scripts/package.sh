#!/usr/bin/env bash
# Makes the Debian package from an already built tree and shows what is in
# it: the control fields, then the files.
set -euo pipefail
build=${1:-build/release}

if [ ! -f "$build/CPackConfig.cmake" ]; then
  echo "package.sh: $build is not a configured build tree" >&2
  exit 2
fi

# An older package left beside the new one would be taken for it.
rm -f "$build"/tavexdl_*.deb
(cd "$build" && cpack --config CPackConfig.cmake)
packages=("$build"/tavexdl_*.deb)
package=${packages[0]}
echo
dpkg-deb --info "$package"
dpkg-deb --contents "$package"
echo
echo "$package"
