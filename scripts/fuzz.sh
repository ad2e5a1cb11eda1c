#!/usr/bin/env bash
# Runs the image fuzzer for a bounded time: fuzz.sh BUILD_DIR SECONDS.
# It starts from the sample images and keeps what it finds in a scratch corpus.
set -euo pipefail
build=$1
seconds=${2:-60}
here=$(cd "$(dirname "$0")/.." && pwd)
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
for sample in "$here"/examples/*; do
  # The fuzzer reads the first byte as the hardware version.
  { printf '\001'; cat "$sample"; } > "$corpus/$(basename "$sample")"
done
"$build/tests/fuzz/fuzz_image" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
  -artifact_prefix="$build/" "$corpus" 2>&1 | tail -n 12
exit "${PIPESTATUS[0]}"
