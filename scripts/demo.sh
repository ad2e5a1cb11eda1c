#!/usr/bin/env bash
# Checks the bundled sample images, then writes the .s20 sample into the
# keyboard simulator over a pseudo-terminal and shows that the simulated
# flash holds exactly what the image sends to that keyboard.
set -u
build=${1:-build/release}
cli="$build/bin/tavexdl-cli"
kbsim="$build/bin/tavexdl-kbsim"
hardware=2
image=examples/keyboard-tables.s20
work=$(mktemp -d)
trap 'rm -rf "$work"; [ -n "${sim:-}" ] && kill "$sim" 2>/dev/null' EXIT

for sample in examples/*.s19 examples/*.s20; do
  echo "\$ tavexdl-cli check $sample"
  "$cli" check "$sample" || exit 1
  echo
done

echo "\$ tavexdl-kbsim --hardware $hardware --once --flash-out keyboard.flash &"
"$kbsim" --hardware "$hardware" --once --flash-out "$work/keyboard.flash" > "$work/kbsim.out" 2>&1 &
sim=$!
for _ in $(seq 50); do
  device=$(head -n 1 "$work/kbsim.out" 2>/dev/null)
  [ -n "$device" ] && break
  sleep 0.1
done
echo "$device"
echo
echo "\$ tavexdl-cli download $image --device $device"
"$cli" download "$image" --device "$device" || exit 1
wait "$sim"
sim=""
echo
echo "the simulator's summary:"
tail -n +2 "$work/kbsim.out"
echo

"$cli" check "$image" --hardware "$hardware" --flash-out "$work/expected.flash" > /dev/null || exit 1
if cmp -s "$work/keyboard.flash" "$work/expected.flash"; then
  echo "The simulated flash holds exactly what $image sends to a keyboard of hardware version $hardware:"
  head -n 4 "$work/keyboard.flash"
else
  echo "The simulated flash differs from what $image sends:"
  diff "$work/expected.flash" "$work/keyboard.flash" | head -n 20
  exit 1
fi
