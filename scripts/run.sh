#!/usr/bin/env bash
# Starts the freshly built Lorimel on its demo playlist: run.sh BUILD
set -euo pipefail
build=$1
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "run: no display. Start Lorimel under a virtual X server instead:" >&2
  echo "       xvfb-run -a make run" >&2
  exit 1
fi
bin="$build/bin"
demo="$bin/Demo/Demo.m3u"
if [ -f "$demo" ]; then
  exec "$bin/lorimel" "$demo"
fi
exec "$bin/lorimel"
