#!/usr/bin/env bash
# Checks the bundled sample images, as a download would read them.
set -u
build=${1:-build/release}
cli="$build/src/tavexdl-cli"
status=0
for image in examples/*.s19 examples/*.s20; do
  echo "\$ tavexdl-cli check $image"
  "$cli" check "$image" || status=1
  echo
done
echo "\$ tavexdl-cli check examples/keyboard-tables.s20 --hardware 4"
"$cli" check examples/keyboard-tables.s20 --hardware 4
echo "(exit $?: version 4 is not in the image's list)"
exit $status
