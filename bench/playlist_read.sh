#!/usr/bin/env bash
# Loads a generated 100,000-line playlist file (backup, read, autosave);
# prints the BENCH playlist-read line. Argument: the benchmark build folder.
set -euo pipefail
exec "$1/bin/playlist_read"
