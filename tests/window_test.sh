#!/usr/bin/env bash
# The real window under Xvfb with a window manager: it opens maximised, typed keys and F1 arrive,
# it idles without burning a core or waking up, and closing it ends the program with status 0.
# Killed while it waits for a key, it has kept every problem finished before.
# At two screen sizes, one too small for the canvas at scale 1, the X server's own dump of the
# window (xwd) shows the contents screen and the first problem exactly as drawn at the window's
# scale; the very first picture the window shows is already the contents screen at that scale.
# Usage: window_test.sh BIN_DIR
set -u
bin=${1:?usage: window_test.sh BIN_DIR}
for tool in Xvfb openbox xdotool wmctrl xprop xwd; do
  command -v "$tool" >/dev/null || { echo "window test: $tool is missing (run tools/setup.sh)"; exit 1; }
done
work=$(mktemp -d)
# A program held at its first picture is stopped: only SIGKILL ends it.
cleanup() { kill -KILL "${held:-}" 2>/dev/null; kill "${app:-}" "${wm:-}" "${xvfb:-}" 2>/dev/null; wait 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT

. "$(dirname "$0")/../tools/x_display.sh"
start_display 1600x1000

fail() { echo "window test: FAIL: $*"; exit 1; }

# No display at all: one line on stderr and status 2, never a window somewhere else.
env -u DISPLAY -u WAYLAND_DISPLAY "$bin/halvard" >"$work/nodisplay.out" 2>"$work/nodisplay.err"
status=$?
[ "$status" -eq 2 ] || fail "without a display the status is $status, not 2"
[ "$(wc -l <"$work/nodisplay.err")" -eq 1 ] || fail "without a display stderr is not one line: $(cat "$work/nodisplay.err")"

"$bin/halvard" --clock 12:34:56 --trace "$work/t.jsonl" >"$work/out.log" 2>&1 &
app=$!
win=$(xdotool search --sync --limit 1 --name '^Halvard$' 2>/dev/null | head -n 1)
[ -n "$win" ] || fail "no window titled Halvard"
sleep 1
xprop -id "$win" _NET_WM_STATE | grep -q _NET_WM_STATE_MAXIMIZED_VERT || fail "window is not maximised: $(xprop -id "$win" _NET_WM_STATE)"
echo "window test: the window opened maximised"
xprop -id "$win" _NET_WM_ICON | grep -q 'Icon (64 x 64)' || fail "the window has no 64 x 64 icon"
xprop -id "$win" WM_NORMAL_HINTS | grep -q 'minimum size: 864 by 540' ||
  fail "the window's minimum size is not 864 x 540: $(xprop -id "$win" WM_NORMAL_HINTS)"
echo "window test: the window has its icon and a minimum size that keeps text readable"

# Idle: CPU ticks used over 5 seconds while the contents screen waits for a key.
ticks() { awk '{print $14 + $15}' "/proc/$app/stat"; }
hz=$(getconf CLK_TCK)
t0=$(ticks); sleep 5; t1=$(ticks)
idle=$(awk -v d=$((t1 - t0)) -v hz="$hz" 'BEGIN { printf "%.2f", 100 * d / hz / 5 }')
echo "window test: idle CPU ${idle}% of one core over 5 s"
awk -v p="$idle" 'BEGIN { exit !(p < 2.0) }' || fail "idle CPU ${idle}% is too high"

# Wake-ups: a program waiting for a key sleeps until one comes, so its threads are not switched
# in voluntarily while nothing happens. A window manager may still send the odd late event of its
# own; a program that polled would wake up dozens of times in these 5 s.
switches() { cat /proc/"$app"/task/*/status | awk '/^voluntary_ctxt_switches/ { n += $2 } END { print n }'; }
w0=$(switches); sleep 5; w1=$(switches)
echo "window test: $((w1 - w0)) wake-ups in 5 s while waiting for a key"
[ $((w1 - w0)) -le 2 ] || fail "a waiting program woke up $((w1 - w0)) times in 5 s"

xdotool windowactivate --sync "$win" 2>/dev/null || xdotool windowfocus --sync "$win"
xdotool type --window "$win" --delay 50 'x'
xdotool key --window "$win" F1
sleep 0.5
wmctrl -c Halvard || fail "wmctrl could not close the window"
for _ in $(seq 50); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
kill -0 "$app" 2>/dev/null && fail "the program did not end when its window was closed"
wait "$app"; status=$?
app=
[ "$status" -eq 0 ] || fail "exit status $status after closing the window: $(cat "$work/out.log")"
grep -q '"op":"readKey","key":"x"' "$work/t.jsonl" || fail "typed x did not arrive"
grep -q '"op":"readKey","key":"\\\\"' "$work/t.jsonl" || fail "F1 did not deliver a backslash"
echo "window test: typed keys and F1 arrived; closing the window ended the program with status 0"

# Killed while the pupil thinks: every problem finished before is in the results file.
"$bin/halvard" --clock 12:34:56 --results "$work/r.sqlite3" >"$work/killed.log" 2>&1 &
app=$!
win=$(xdotool search --sync --limit 1 --name '^Halvard$' 2>/dev/null | head -n 1)
[ -n "$win" ] || fail "no window titled Halvard with a results file"
sleep 1
xdotool windowactivate --sync "$win" 2>/dev/null || xdotool windowfocus --sync "$win"
xdotool type --window "$win" --delay 50 '2'
for _ in 1 2 3; do xdotool key --window "$win" --delay 50 Return; done
sleep 1
kill -KILL "$app"
wait "$app" 2>/dev/null
app=
kept=$(python3 -c 'import sqlite3, sys
print(sqlite3.connect(sys.argv[1]).execute("SELECT group_concat(entry || outcome) FROM results").fetchone()[0])' "$work/r.sqlite3")
[ "$kept" = "1viewed,2viewed,3viewed" ] || fail "killed while waiting, the results file holds '$kept', not the 3 problems viewed"
echo "window test: killed while waiting for a key, the 3 problems finished before were all kept"

# What the window shows, against the same screen drawn headless at the window's scale.
compare_shot() {  # KEYS-TYPED-SO-FAR WHAT
  xwd -silent -id "$win" -out "$work/shot.xwd" || fail "xwd could not dump the window"
  DRILLS_WINDOW_SHOT="$work/shot.xwd" DRILLS_WINDOW_KEYS="$1" "$bin/drills_tests" --gtest_also_run_disabled_tests \
    --gtest_filter='WindowShot.*' >"$work/shot.log" 2>&1 || { cat "$work/shot.log"; fail "$2 at $size"; }
  echo "window test: at $size ($(xwininfo -id "$win" | awk '/Width|Height/ {printf "%s ", $2}')) $2 matches its drawing at that scale"
}
gcc -O2 -o "$work/firstframe" "$(dirname "$0")/../tools/firstframe.c" -lX11 -lXdamage ||
  fail "could not build the first-frame watcher"
for size in 1600x1000 1024x640; do
  [ "$size" = 1600x1000 ] || { stop_display; start_display "$size"; }
  # Stopped the moment its window first shows anything: that picture is the finished one.
  read -r _ win held < <("$work/firstframe" hold "$bin/halvard" --clock 12:34:56)
  [ -n "${held:-}" ] || fail "the window showed nothing at $size"
  compare_shot "" "the first picture shown"
  kill -KILL "$held"
  held=
  for _ in $(seq 50); do xwininfo -id "$win" >/dev/null 2>&1 || break; sleep 0.1; done
  "$bin/halvard" --clock 12:34:56 >"$work/out.log" 2>&1 &
  app=$!
  win=$(xdotool search --sync --limit 1 --name '^Halvard$' 2>/dev/null | head -n 1)
  [ -n "$win" ] || fail "no window titled Halvard at $size"
  sleep 1.5
  compare_shot "" "the contents screen"
  # Hidden and shown again once it has settled: the window sends its whole picture anew.
  xdotool windowminimize --sync "$win" 2>/dev/null || xdotool windowminimize "$win"
  sleep 0.3
  xdotool windowactivate --sync "$win" 2>/dev/null || xdotool windowactivate "$win"
  sleep 0.5
  compare_shot "" "the contents screen hidden and shown again"
  xdotool windowactivate --sync "$win" 2>/dev/null || xdotool windowfocus --sync "$win"
  xdotool type --window "$win" --delay 50 '2'
  sleep 1
  compare_shot "2" "the first problem"
  if [ "$size" = 1600x1000 ]; then
    # Made smaller and then larger again: each time drawn anew at the new scale.
    wmctrl -r Halvard -b remove,maximized_vert,maximized_horz
    for to in "1100 700" "1300 900"; do
      xdotool windowsize --sync "$win" $to 2>/dev/null || xdotool windowsize "$win" $to
      sleep 1
      compare_shot "2" "the first problem resized to ${to/ /x}"
    done
  fi
  wmctrl -c Halvard
  wait "$app"
  app=
done

# Closing at any moment: quick starts, each closed after a different pause, most while the
# program sleeps waiting for a key. However the close meets the program's own ending, the status
# is 0 and the X library has nothing to say.
cycles=10
for i in $(seq "$cycles"); do
  "$bin/halvard" --clock 12:34:56 --no-results >"$work/cycle.log" 2>&1 &
  app=$!
  timeout 20 xdotool search --sync --onlyvisible --limit 1 --name '^Halvard$' >/dev/null 2>&1 ||
    fail "start $i of $cycles showed no window: $(head -n 3 "$work/cycle.log")"
  sleep "0.$((i % 5 * 2))"
  wmctrl -c Halvard || fail "wmctrl could not close start $i of $cycles"
  wait "$app"; status=$?
  app=
  [ "$status" -eq 0 ] || fail "start $i of $cycles ended with status $status when closed: $(head -n 3 "$work/cycle.log")"
  [ -s "$work/cycle.log" ] && fail "start $i of $cycles wrote on closing: $(head -n 3 "$work/cycle.log")"
done
echo "window test: $cycles starts closed after pauses of 0 to 0.8 s all ended with status 0 and nothing on stderr"

# Without a window manager nobody frames or maximises the window, which opens over the screen:
# its first picture is still the contents screen, drawn at the window's scale.
stop_display
start_display 1280x800 no-wm
size="1280x800 without a window manager"
read -r _ win held < <("$work/firstframe" hold "$bin/halvard" --clock 12:34:56)
[ -n "${held:-}" ] || fail "the window showed nothing at $size"
compare_shot "" "the first picture shown"
kill -KILL "$held"
held=
echo "1 passed, 0 failed"
