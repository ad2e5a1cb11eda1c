#!/usr/bin/env bash
# Runs one fuzzer for a bounded time: fuzz.sh BUILD_DIR SECONDS [fuzz_image|fuzz_receiver].
# Its corpus, BUILD_DIR/FUZZER.corpus, is kept between runs, so that each run
# goes on from the coverage the ones before it reached; the image fuzzer's
# starts out with the sample images. The whole output goes to
# BUILD_DIR/FUZZER.log; shown are the final figures (runs, coverage "cov",
# features "ft", the corpus's size), or on a failure the end of the log.
set -euo pipefail
build=$1
seconds=${2:-60}
fuzzer=${3:-fuzz_image}
here=$(cd "$(dirname "$0")/.." && pwd)
corpus="$build/$fuzzer.corpus"
mkdir -p "$corpus"
if [ "$fuzzer" = fuzz_image ]; then
  for sample in "$here"/examples/*; do
    # The fuzzer reads the first byte as the hardware version.
    { printf '\001'; cat "$sample"; } > "$corpus/$(basename "$sample")"
  done
fi
inputs_before=$(find "$corpus" -type f | wc -l)
log="$build/$fuzzer.log"
echo "fuzz.sh: $fuzzer for $seconds s, the whole output in $log"
status=0
"$build/tests/fuzz/$fuzzer" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
  -artifact_prefix="$build/" "$corpus" > "$log" 2>&1 || status=$?
if [ "$status" -eq 0 ]; then
  grep -E '^#[0-9]+[[:space:]]+DONE|^stat::' "$log"
  echo "fuzz.sh: the corpus $corpus holds $(find "$corpus" -type f | wc -l) inputs ($inputs_before before)"
else
  tail -n 60 "$log"
  echo "fuzz.sh: $fuzzer failed ($status); the whole output is in $log"
fi
exit "$status"
