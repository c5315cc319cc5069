# Shared by the benchmarks that start windowed programs: a private Xvfb
# server and a clean environment for every program measured. Source it after
# setting $tmp (a scratch folder) and $build (the bench build folder).

# Starts Xvfb on a free display (it writes the number to fd 3); sets
# $xvfb_pid and $display, or exits when the server does not come up.
start_xvfb() { # caller name for messages
  Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x1024x24 3>"$tmp/display" >"$tmp/xvfb.log" 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do
    [ -s "$tmp/display" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
  done
  [ -s "$tmp/display" ] || { echo "$1: Xvfb did not start" >&2; cat "$tmp/xvfb.log" >&2; exit 1; }
  display=":$(tr -d '[:space:]' <"$tmp/display")"
}

# The same clean environment for every program: throw-away home and XDG
# folders, a Lorimel program folder with the shipped data, and no session
# bus (no program may hand its start to an instance found there). Sets
# $home and the command prefix array $run_env.
make_clean_env() {
  home="$tmp/home"
  mkdir -p "$home/.config" "$home/.local/share" "$home/.cache" "$home/runtime" "$tmp/lorimel-home"
  chmod 700 "$home/runtime"
  for d in Langs Colors CurrentColor.clr; do
    [ -e "$build/bin/$d" ] && cp -r "$build/bin/$d" "$tmp/lorimel-home/"
  done
  run_env=(env -i PATH="$PATH" HOME="$home" DISPLAY="$display" LANG=C.UTF-8
    XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share"
    XDG_CACHE_HOME="$home/.cache" XDG_RUNTIME_DIR="$home/runtime"
    DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent)
}
