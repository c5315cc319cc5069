#!/usr/bin/env bash
# Playback cost of a 60 s MP3 (a demo piece repeated, 160 kbit/s stereo):
# Lorimel (`lorimel FILE` on a private Xvfb server, LORIMEL_MPV_OPTIONS
# ao=null,vo=null) against the mpv command line (`mpv --no-video --ao=null
# FILE`), one after the other. Resident memory (VmRSS) 10 s after the start;
# CPU time (user + system, all threads) from 10 s to 40 s, that is over 30 s
# of steady playback. Prints the BENCH playback-rss and playback-cpu lines.
# Argument: the benchmark build folder. Talks to no network.
set -euo pipefail

build=$(cd "$1" && pwd)
settle=${PLAYBACK_SETTLE_SECONDS:-10}
window=${PLAYBACK_CPU_SECONDS:-30}
lorimel="$build/bin/lorimel"
gen="$build/data/demo_gen"
for f in "$lorimel" "$gen"; do
  [ -x "$f" ] || { echo "playback: $f is missing; build with -DLORIMEL_BENCH=ON" >&2; exit 1; }
done
command -v mpv >/dev/null || { echo "playback: mpv is missing (scripts/install-deps.sh --bench)" >&2; exit 1; }
for t in Xvfb xdotool; do
  command -v "$t" >/dev/null || { echo "playback: $t is missing" >&2; exit 1; }
done

tmp=$(mktemp -d "${TMPDIR:-/tmp}/lorimel-playback.XXXXXX")
xvfb_pid=
player_pid=
stop_pid() {
  local pid=$1
  [ -n "$pid" ] || return 0
  kill "$pid" 2>/dev/null || return 0
  for _ in $(seq 30); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -9 "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}
cleanup() {
  stop_pid "$player_pid"
  stop_pid "$xvfb_pid"
  rm -rf "$tmp"
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP
# shellcheck source=lib/xsession.sh
. "$(dirname "$0")/lib/xsession.sh"

media="$(realpath "$tmp")/bench.mp3"
"$gen" --mp3 "$media" 60

start_xvfb playback
make_clean_env

# Waits in the background, so that an interrupt ends the script at once.
pause_for() {
  sleep "$1" &
  wait $!
}

tck=$(getconf CLK_TCK)
# utime + stime of every thread, in clock ticks; the fields after the
# command name, which may itself hold spaces and parentheses.
cpu_ticks() {
  local stat
  stat=$(cat "/proc/$1/stat") || return 1
  stat=${stat##*) }
  awk '{ print $12 + $13 }' <<<"$stat"
}
rss_kb() {
  awk '/^VmRSS:/ { print $2 }' "/proc/$1/status"
}
has_open() { # pid file
  local fd
  for fd in /proc/"$1"/fd/*; do
    [ "$(readlink "$fd" 2>/dev/null)" = "$2" ] && return 0
  done
  return 1
}
alive() {
  kill -0 "$1" 2>/dev/null && [ "$(awk '{ print $3 }' "/proc/$1/stat" 2>/dev/null)" != Z ]
}

# Lorimel starts playing when its window is first activated. Xvfb has no
# window manager to do that, so give the window the input focus as one would.
focus_window() { # pid
  local win
  win=$(DISPLAY="$display" timeout 15 xdotool search --sync --onlyvisible --pid "$1" 2>/dev/null |
    head -n 1) || true
  if [ -z "$win" ]; then
    echo "playback: no window of process $1 appeared" >&2
    return 0
  fi
  DISPLAY="$display" timeout 5 xdotool windowfocus --sync "$win" 2>/dev/null || true
}

# Plays the file with one player; sets rss (kB) and cpu (s). The first
# argument says whether the player has a window to activate.
measure() { # name window|console command...
  local name=$1 kind=$2
  shift 2
  local started=$SECONDS
  "${run_env[@]}" "$@" >"$tmp/$name.log" 2>&1 </dev/null &
  player_pid=$!
  [ "$kind" = window ] && focus_window "$player_pid"
  pause_for $((settle - (SECONDS - started) > 0 ? settle - (SECONDS - started) : 0))
  alive "$player_pid" || { echo "playback: $name ended early" >&2; tail -n 20 "$tmp/$name.log" >&2; return 1; }
  # A player that never opened the file would look cheap: insist on it.
  if ! has_open "$player_pid" "$media"; then
    echo "playback: $name does not have $media open after ${settle} s; is it playing?" >&2
    playing_ok=0
  fi
  rss=$(rss_kb "$player_pid")
  local before after
  before=$(cpu_ticks "$player_pid")
  pause_for "$window"
  alive "$player_pid" || { echo "playback: $name ended before the window closed" >&2; return 1; }
  after=$(cpu_ticks "$player_pid")
  cpu=$(awk -v a="$before" -v b="$after" -v t="$tck" 'BEGIN { printf "%.2f", (b - a) / t }')
  stop_pid "$player_pid"
  player_pid=
}

playing_ok=1
measure lorimel window "LORIMEL_HOME=$tmp/lorimel-home" QT_QPA_PLATFORM=xcb \
  LORIMEL_MPV_OPTIONS=ao=null,vo=null "$lorimel" "$media"
ours_rss=$rss
ours_cpu=$cpu
measure mpv console mpv --no-video --ao=null "$media"
theirs_rss=$rss
theirs_cpu=$cpu

echo "BENCH playback-rss lorimel $ours_rss kB"
echo "BENCH playback-rss mpv $theirs_rss kB"
awk -v a="$ours_rss" -v b="$theirs_rss" 'BEGIN { printf "BENCH playback-rss ratio %.2f x\n", a / b }'
echo "BENCH playback-cpu lorimel $ours_cpu s"
echo "BENCH playback-cpu mpv $theirs_cpu s"
awk -v a="$ours_cpu" -v b="$theirs_cpu" 'BEGIN { if (b > 0) printf "BENCH playback-cpu ratio %.2f x\n", a / b;
  else print "BENCH playback-cpu ratio n/a x" }'
if [ "$playing_ok" -ne 1 ]; then
  echo "playback: the figures above are not of playback (see the message above)" >&2
  exit 1
fi
