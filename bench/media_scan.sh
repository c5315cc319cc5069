#!/usr/bin/env bash
# Media readers against TagLib over 10,000 generated MP3 files; prints the
# BENCH media-scan lines. Argument: the benchmark build folder.
set -euo pipefail
exec "$1/bin/media_scan"
