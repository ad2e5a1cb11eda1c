#!/usr/bin/env bash
# Downloads under wine, three keyboards at a time, over and over, to show
# that no reply is ever lost:
#   scripts/under-wine.sh build/windows tests/windows/stress_downloads.sh ROUNDS [IMAGE]...
# Each of COM1 to COM3 gets a simulator, and ROUNDS downloads of the images
# in turn (the examples when none is named). A lost reply shows as a
# download that does not end well, or as a second PING in one session.
# Prints one line per download that went wrong and a summary; exit 1 when
# any did. Run it beside a build to see the reader under load.
set -euo pipefail
export LC_ALL=C.UTF-8

root=$(cd "$(dirname "$0")/../.." && pwd)
rounds=${1:?rounds}
shift
images=("$@")
[ "${#images[@]}" -gt 0 ] || images=("$root/examples/keyboard-small.s19" "$root/examples/keyboard-tables.s20")
cli=${TAVEX_CLI_EXE:-$root/build/windows/bin/tavexdl-cli.exe}
kbsim=${TAVEX_KBSIM:-$root/build/release/bin/tavexdl-kbsim}

scratch=$(mktemp -d)
keyboards=()
trap 'kill -INT "${keyboards[@]}" 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$scratch"' EXIT

for number in 1 2 3; do
  "$kbsim" >"$scratch/keyboard$number.txt" 2>/dev/null &
  keyboards+=("$!")
  for _ in $(seq 100); do
    [ -s "$scratch/keyboard$number.txt" ] && break
    sleep 0.05
  done
  link_variable="TAVEX_COM${number}_LINK"
  ln -sfn "$(head -n 1 "$scratch/keyboard$number.txt")" "${!link_variable}"
done

# downloads N: ROUNDS downloads on COM N; one line each: N ROUND EXIT PINGS SECONDS.
# Each keyboard has its own copies of the images: a download holds its
# image for itself.
downloads() {
  local number=$1 round image status pings
  local own=()
  for image in "${images[@]}"; do
    own+=("$scratch/$number-$(basename "$image")")
    cp "$image" "${own[-1]}"
  done
  for round in $(seq "$rounds"); do
    image=${own[$(((round - 1) % ${#own[@]}))]}
    status=0
    wine "$cli" download "$(winepath -w "$image")" --com "$number" --json </dev/null \
      >"$scratch/out$number.txt" 2>&1 || status=$?
    pings=$(grep -c 'Sending PING' "$scratch/out$number.txt" || true)
    seconds=$(grep -o '"seconds":[0-9.]*' "$scratch/out$number.txt" | cut -d: -f2)
    echo "$number $round $status $pings ${seconds:--}"
    if [ "$status" -ne 0 ] || [ "$pings" -ne 1 ]; then
      cp "$scratch/out$number.txt" "$scratch/wrong-$number-$round.txt"
    fi
  done
}

started=$(date +%s)
workers=()
for number in 1 2 3; do
  downloads "$number" >"$scratch/runs$number.txt" &
  workers+=("$!")
done
wait "${workers[@]}"
elapsed=$(($(date +%s) - started))

cat "$scratch"/runs*.txt >"$scratch/runs.txt"
total=$(wc -l <"$scratch/runs.txt")
wrong=$(awk '$3 != 0 || $4 != 1' "$scratch/runs.txt" | wc -l)
awk '$3 != 0 || $4 != 1 { print "went wrong: COM" $1 " round " $2 ": exit " $3 ", " $4 " PINGs" }' "$scratch/runs.txt"
for file in "$scratch"/wrong-*.txt; do
  if [ -e "$file" ]; then
    echo "--- $file"
    tail -n 5 "$file"
  fi
done
echo "downloads: $total, went wrong: $wrong, in ${elapsed} s"
[ "$wrong" -eq 0 ]
