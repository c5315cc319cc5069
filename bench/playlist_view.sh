#!/usr/bin/env bash
# Loads a 10,000-entry playlist of generated MP3 files with the playlist
# window open (offscreen), first and again; prints the BENCH playlist-view
# lines. Argument: the benchmark build folder.
set -euo pipefail
export QT_QPA_PLATFORM=offscreen
exec "$1/bin/playlist_view"
