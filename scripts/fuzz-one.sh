#!/usr/bin/env bash
# Runs one fuzz target for a bounded time: fuzz-one.sh BINARY SEED_DIR SECONDS
# New inputs go to a scratch corpus; the committed seeds are only read.
set -euo pipefail
bin=$1 seeds=$2 secs=${3:-60}
if [ ! -x "$bin" ]; then
  echo "fuzz target not built: $bin" >&2
  exit 1
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/corpus"
args=("$work/corpus")
[ -d "$seeds" ] && args+=("$seeds")
export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
cd "$work"
exec "$bin" -max_total_time="$secs" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 "${args[@]}"
