#!/usr/bin/env bash
# Runs every fuzz target of a LORIMEL_FUZZ build: run-fuzzers.sh BUILD SECONDS
set -uo pipefail
build=$1 secs=${2:-60}
here=$(cd "$(dirname "$0")/.." && pwd)
status=0
for src in "$here"/fuzz/fuzz_*.cpp; do
  name=$(basename "$src" .cpp)
  echo "== $name ($secs s)"
  if ! "$here/scripts/fuzz-one.sh" "$build/bin/$name" "$here/fuzz/corpus/$name" "$secs"; then
    echo "FAILED: $name"
    status=1
  fi
done
exit $status
