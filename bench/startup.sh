#!/usr/bin/env bash
# Start-up time: from exec to the first top-level window mapped, for Lorimel
# and for Audacious (its GTK main window), on one private Xvfb server, with
# throw-away home and program folders so that neither reads the user's
# settings nor shows a first-start dialog. One warm-up start each fills the
# page cache and the fresh settings; then RUNS starts each, alternating, and
# the median counts. Prints the BENCH startup lines.
# Argument: the benchmark build folder. Talks to no network.
set -euo pipefail

build=$(cd "$1" && pwd)
runs=${STARTUP_RUNS:-7}
timeout_ms=20000
watch="$build/bin/first_window"
lorimel="$build/bin/lorimel"
for f in "$watch" "$lorimel"; do
  [ -x "$f" ] || { echo "startup: $f is missing; build with -DLORIMEL_BENCH=ON" >&2; exit 1; }
done
command -v audacious >/dev/null || { echo "startup: audacious is missing (scripts/install-deps.sh --bench)" >&2; exit 1; }
command -v Xvfb >/dev/null || { echo "startup: Xvfb is missing" >&2; exit 1; }

tmp=$(mktemp -d "${TMPDIR:-/tmp}/lorimel-startup.XXXXXX")
xvfb_pid=
cleanup() {
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  rm -rf "$tmp"
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP
# shellcheck source=lib/xsession.sh
. "$(dirname "$0")/lib/xsession.sh"

start_xvfb startup
make_clean_env

# One start; prints the milliseconds.
start_once() { # name program args...
  local name=$1
  shift
  "${run_env[@]}" LORIMEL_HOME="$tmp/lorimel-home" QT_QPA_PLATFORM=xcb \
    "$watch" "$timeout_ms" "$@" 2>>"$tmp/$name.log"
}

median() {
  sort -n | awk '{ v[NR] = $1 } END { if (NR == 0) exit 1;
    if (NR % 2) print v[(NR + 1) / 2]; else printf "%.1f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

: >"$tmp/lorimel.ms"
: >"$tmp/audacious.ms"
failed=0
for i in $(seq 0 "$runs"); do
  for prog in lorimel audacious; do
    if [ "$prog" = lorimel ]; then
      ms=$(start_once lorimel "$lorimel") || { failed=1; break 2; }
    else
      ms=$(start_once audacious audacious --gtk) || { failed=1; break 2; }
    fi
    # Run 0 is the warm-up.
    [ "$i" -gt 0 ] && echo "$ms" >>"$tmp/$prog.ms"
  done
done
if [ "$failed" -ne 0 ]; then
  echo "startup: a start failed; its log:" >&2
  tail -n 20 "$tmp/lorimel.log" "$tmp/audacious.log" >&2 2>/dev/null || true
  exit 1
fi

ours=$(median <"$tmp/lorimel.ms")
theirs=$(median <"$tmp/audacious.ms")
echo "BENCH startup lorimel $ours ms"
echo "BENCH startup audacious $theirs ms"
awk -v a="$ours" -v b="$theirs" 'BEGIN { printf "BENCH startup ratio %.2f x\n", a / b }'
