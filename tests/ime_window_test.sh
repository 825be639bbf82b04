#!/usr/bin/env bash
# Typing into the real window through a real Japanese input method: ibus with Anthy in hiragana
# mode, under Xvfb + openbox, with a D-Bus session and settings folder of the test's own (the
# user's input method settings are never read or changed). With the input method on, every typed
# key reaches Halvard only as composed and then committed text, and the Return that commits gives
# no key event: digits and = arrive as full-width forms, - as ー. The pupil starts a problem, types
# its right answer committing each character with Return, confirms it, and the answer is marked ○.
# Then a digit, the Return that commits it and the Return that confirms the answer are typed in
# one burst, faster than the program looks at its events, and still arrive in that order.
# Skipped (status 77) when ibus or Anthy is not installed.
# Usage: ime_window_test.sh BIN_DIR
set -u
bin=${1:?usage: ime_window_test.sh BIN_DIR}
say() { echo "ime window test: $*"; }
command -v ibus-daemon >/dev/null && command -v ibus >/dev/null ||
  { say "SKIP: ibus is not installed (run tools/setup.sh)"; exit 77; }
[ -f /usr/share/ibus/component/anthy.xml ] ||
  { say "SKIP: ibus-anthy is not installed (run tools/setup.sh)"; exit 77; }
for tool in Xvfb openbox xdotool wmctrl dbus-daemon gsettings; do
  command -v "$tool" >/dev/null || { say "$tool is missing (run tools/setup.sh)"; exit 1; }
done

work=$(mktemp -d)
app= wm= xvfb= bus= ime=
# The daemons run in process groups of their own, so that what they start goes with them.
stop_group() {  # PGID
  [ -n "$1" ] || return 0
  kill -TERM -- "-$1" 2>/dev/null
  for _ in $(seq 50); do pgrep -g "$1" >/dev/null || return 0; sleep 0.1; done
  kill -KILL -- "-$1" 2>/dev/null
}
cleanup() {
  [ -n "$app" ] && kill "$app" 2>/dev/null
  stop_group "$ime"
  stop_group "$bus"
  kill "$wm" "$xvfb" 2>/dev/null
  wait 2>/dev/null
  app= ime= bus= wm= xvfb=
}
trap 'cleanup; rm -rf "$work"' EXIT
fail() {
  say "FAIL: $*"
  [ -s "$work/trace.jsonl" ] && { say "keys read so far:"; grep '"op":"readKey"' "$work/trace.jsonl" | tr '\n' ' '; echo; }
  for log in app ibus wm; do [ -s "$work/$log.log" ] && { say "$log.log:"; tail -n 20 "$work/$log.log"; }; done
  exit 1
}
# Polls CONDITION (a command) every 50 ms for at most SECONDS; every wait of this test is bounded.
wait_for() {  # SECONDS WHAT CONDITION...
  local secs=$1 end=$((SECONDS + $1)) what=$2
  shift 2
  until "$@"; do
    [ "$SECONDS" -lt "$end" ] || fail "waited ${secs} s in vain for $what"
    sleep 0.05
  done
}

# Settings, caches and the input method's address all in the test's own folder.
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_CACHE_HOME="$work/cache"
export XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work/run"
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
export GSETTINGS_BACKEND=keyfile LANG=C.UTF-8
unset DBUS_SESSION_BUS_ADDRESS IBUS_ADDRESS GTK_IM_MODULE QT_IM_MODULE

Xvfb -displayfd 3 -screen 0 1600x1000x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
wait_for 10 "Xvfb to start" test -s "$work/display"
export DISPLAY=":$(cat "$work/display")"
openbox >"$work/wm.log" 2>&1 &
wm=$!
wait_for 20 "openbox to manage the screen" eval 'wmctrl -m >/dev/null 2>&1'

setsid dbus-daemon --session --nofork --print-address=4 4>"$work/bus" 2>"$work/dbus.log" &
bus=$!
wait_for 10 "the D-Bus session" test -s "$work/bus"
DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$work/bus")
export DBUS_SESSION_BUS_ADDRESS

# Anthy starts in hiragana mode (its default is Latin, which passes keys through untouched).
gsettings set org.freedesktop.ibus.engine.anthy.common input-mode 0 ||
  fail "cannot set Anthy's input mode"
# The engine is a python3 script found on PATH: Debian's, with its GObject bindings.
PATH="/usr/bin:/bin:$PATH" setsid ibus-daemon --panel=disable --emoji-extension=disable \
  --config=disable >"$work/ibus.log" 2>&1 &
ime=$!
# Asked until it answers: Anthy's engine then starts.
engine_is_anthy() { ibus engine anthy >/dev/null 2>&1; [ "$(ibus engine 2>/dev/null)" = anthy ]; }
wait_for 15 "ibus to switch to Anthy" engine_is_anthy
# The daemon's address file, named after the machine id and the display.
address=$(find "$XDG_CONFIG_HOME/ibus/bus" -type f | head -n 1)
[ -n "$address" ] || fail "ibus wrote no address file"
say "ibus $(ibus version | awk '{print $NF}') with Anthy in hiragana mode at $DISPLAY"

# The answer typed below is the right one for this clock: checked headless first, so that a
# change of the problems shows up here and not as a puzzling input-method failure.
clock=10:20:40
"$bin/halvard" --headless --clock "$clock" --keys "15{Enter}x=-3{Enter}" --trace "$work/headless.jsonl" ||
  fail "the headless run failed"
grep -q '"op":"CheckAnswer","typed":"x=-3","result":2' "$work/headless.jsonl" ||
  fail "x=-3 is not the right answer to Halvard's problem 5 at $clock: $(grep CheckAnswer "$work/headless.jsonl")"

# SDL talks to ibus itself when told to. SDL 2 takes IBUS_ADDRESS as the name of the address
# file, sparing it the look-up by machine id, which a container may lack.
SDL_IM_MODULE=ibus XMODIFIERS=@im=ibus IBUS_ADDRESS="$address" \
  "$bin/halvard" --clock "$clock" --no-results --trace "$work/trace.jsonl" >"$work/app.log" 2>&1 &
app=$!
win=$(timeout 15 xdotool search --sync --limit 1 --name '^Halvard$' 2>/dev/null | head -n 1)
[ -n "$win" ] || fail "no window titled Halvard"
# The trace reaches its file whenever the program waits for a key.
wait_for 15 "the contents screen to wait for a key" test -s "$work/trace.jsonl"
timeout 10 xdotool windowactivate --sync "$win" 2>/dev/null || timeout 10 xdotool windowfocus --sync "$win"
wait_for 10 "the window to have the keyboard" eval '[ "$(xdotool getwindowfocus 2>/dev/null)" = "$win" ]'

# Keys typed from here on go through the X server's test extension to the focused window, as
# from a keyboard. Only whole lines of the trace are counted.
keys_read() { grep -c '"op":"readKey","key":".*"}$' "$work/trace.jsonl"; }
read_at_least() { [ "$(keys_read)" -ge "$1" ]; }
# Types CHAR, which the input method composes, and commits it with Return; the program must then
# have read exactly one more key.
commit() {  # CHAR
  local before
  before=$(keys_read)
  xdotool type --delay 30 "$1"
  xdotool key Return
  wait_for 10 "the committed '$1' to be read" read_at_least $((before + 1))
}
confirm() {
  local before
  before=$(keys_read)
  xdotool key Return
  wait_for 10 "the confirming Return to be read" read_at_least $((before + 1))
}

commit 1      # practise
commit 5      # from problem 5
confirm
wait_for 10 "problem 5 to be shown" grep -q '"op":"Present","entry":5' "$work/trace.jsonl"
for c in x = - 3; do commit "$c"; done
confirm
wait_for 10 "the answer to be checked" grep -q '"op":"CheckAnswer"' "$work/trace.jsonl"
wait_for 10 "the mark to be drawn" grep -q '"text":"○"' "$work/trace.jsonl"

# Every commit's Return was the input method's own: the program read each character once and
# only the two confirming Returns.
got=$(grep '"op":"readKey"' "$work/trace.jsonl" | sed 's/.*"key":"\(.*\)"}$/\1/' | tr '\n' ' ')
[ "$got" = '1 5 \r x = - 3 \r ' ] || fail "keys read: '$got', not '1 5 \\r x = - 3 \\r '"
grep -q '"op":"CheckAnswer","typed":"x=-3","result":2' "$work/trace.jsonl" ||
  fail "the answer was not marked right: $(grep CheckAnswer "$work/trace.jsonl")"
# The answer line shows what was typed: the character drawn on it after each key read.
line=$(awk '/"op":"Present"/ { shown = 1 } /"op":"CheckAnswer"/ { exit }
  shown && /"op":"readKey"/ { echo = 1; next }
  echo && /"op":"drawScaledText",.*"y":576,/ && !/"text":"　"/ {
    sub(/.*"text":"/, ""); sub(/".*/, ""); printf "%s", $0; echo = 0 }' "$work/trace.jsonl")
[ "$line" = "χ＝－３" ] || fail "the answer line shows '$line', not 'χ＝－３'"
say "x=-3 typed as x ＝ ー ３, each committed with Return, was read as x=-3 and marked ○"

# On to the next problem (2 in the menu after a right answer), then a burst: 7, the Return that
# commits it and the Return that confirms, typed before the program looks at its events again.
# They must arrive as 7 and one Return, in that order.
commit 2
wait_for 10 "the next problem" eval '[ "$(grep -c "\"op\":\"Present\"" "$work/trace.jsonl")" -ge 2 ]'
before=$(keys_read)
xdotool type --delay 1 "7"
xdotool key --delay 1 Return Return
wait_for 10 "the burst to be read" read_at_least $((before + 2))
got=$(grep '"op":"readKey"' "$work/trace.jsonl" | tail -n +$((before + 1)) | sed 's/.*"key":"\(.*\)"}$/\1/' | tr '\n' ' ')
[ "$got" = '7 \r ' ] || fail "a burst of 7, Return, Return was read as '$got', not '7 \r '"
grep '"op":"CheckAnswer"' "$work/trace.jsonl" | tail -n 1 | grep -q '"typed":"7"' ||
  fail "the burst's answer was checked as $(grep '"op":"CheckAnswer"' "$work/trace.jsonl" | tail -n 1), not as 7"
say "7 with its committing and confirming Return typed in one burst was checked as 7"

wmctrl -c Halvard || fail "wmctrl could not close the window"
wait_for 10 "the program to end" eval '! kill -0 "$app" 2>/dev/null'
wait "$app"
status=$?
app=
[ "$status" -eq 0 ] || fail "exit status $status after closing the window"

# Nothing of the input method or its bus outlives the test.
groups="$ime $bus"
cleanup
for g in $groups; do
  pgrep -g "$g" >/dev/null && fail "processes of group $g are still running: $(pgrep -a -g "$g")"
done
say "ibus, its engine and the D-Bus session have ended"
echo "1 passed, 0 failed"
