#!/usr/bin/env bash
# Runs one fuzzer for a bounded time: fuzz.sh BUILD_DIR SECONDS [fuzz_image|fuzz_receiver].
# The image fuzzer starts from the sample images; finds go to a scratch corpus.
set -euo pipefail
build=$1
seconds=${2:-60}
fuzzer=${3:-fuzz_image}
here=$(cd "$(dirname "$0")/.." && pwd)
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
if [ "$fuzzer" = fuzz_image ]; then
  for sample in "$here"/examples/*; do
    # The fuzzer reads the first byte as the hardware version.
    { printf '\001'; cat "$sample"; } > "$corpus/$(basename "$sample")"
  done
fi
"$build/tests/fuzz/$fuzzer" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
  -artifact_prefix="$build/" "$corpus" 2>&1 | tail -n 12
exit "${PIPESTATUS[0]}"
