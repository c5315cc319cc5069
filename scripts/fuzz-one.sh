#!/usr/bin/env bash
# Runs one fuzz target for a bounded time: fuzz-one.sh BINARY SEED_DIR SECONDS [RANDOM_SEED]
# New inputs go to a scratch corpus; the committed seeds are only read. With
# RANDOM_SEED the mutations follow a fixed sequence, so a test run explores
# the same inputs every time (make fuzz leaves it random to find new ones).
set -euo pipefail
bin=$1 seeds=$2 secs=${3:-60} seed=${4:-}
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
opts=(-max_total_time="$secs" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1)
[ -n "$seed" ] && opts+=(-seed="$seed")
exec "$bin" "${opts[@]}" "${args[@]}"
