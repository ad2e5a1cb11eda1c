#!/usr/bin/env bash
# Runs every benchmark program of a build: the reader in memory, check
# against srec_info, downloads against the wire's limit, eight keyboards
# against one. `--smoke` makes each a short run on small images that only
# shows it starts and finishes (its figures mean nothing).
set -euo pipefail
build=${1:-build/release}
smoke=${2:-}
bin="$build/bin"

reader_options=()
if [ "$smoke" = --smoke ]; then
  reader_options=(--benchmark_min_time=0.01)
elif [ -n "$smoke" ]; then
  echo "usage: scripts/bench.sh [BUILD_DIR] [--smoke]" >&2
  exit 2
fi

"$bin/tavexdl-bench" "${reader_options[@]}"
"$bin/check-vs-srec-info" "$bin/tavexdl-cli" $smoke
"$bin/download-vs-wire" "$bin/tavexdl-cli" "$bin/tavexdl-kbsim" $smoke
"$bin/parallel-vs-single" "$bin/tavexdl-cli" "$bin/tavexdl-kbsim" $smoke
