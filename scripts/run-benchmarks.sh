#!/usr/bin/env bash
# Runs every benchmark of a LORIMEL_BENCH build: each bench/*.sh script, given
# the build folder, prints its BENCH lines.
set -uo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")/.." && pwd)
status=0
shopt -s nullglob
for b in "$here"/bench/*.sh; do
  echo "== $(basename "$b")"
  if ! "$b" "$build"; then
    echo "FAILED: $(basename "$b")"
    status=1
  fi
done
exit $status
