# Sourced by the window tests and benchmarks: a virtual X server with a window manager.
#   start_display WIDTHxHEIGHT [no-wm]
#                                starts Xvfb and openbox (logs in $work), exports DISPLAY and
#                                sets xvfb and wm to their process ids; needs $work. With no-wm,
#                                Xvfb alone.
#   stop_display                 ends both.
start_display() {
  # A white root: a window that leaves any of itself unpainted shows it in a screenshot.
  Xvfb -displayfd 3 -screen 0 "$1x24" -wr -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
  xvfb=$!
  for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
  export DISPLAY=":$(cat "$work/display")"
  : >"$work/display"
  [ "${2:-}" = no-wm ] && { wm=; return; }
  openbox >"$work/wm.log" 2>&1 &
  wm=$!
  sleep 1
}
stop_display() { kill "$wm" "$xvfb" 2>/dev/null || true; wait "$wm" "$xvfb" 2>/dev/null || true; wm= xvfb=; }
