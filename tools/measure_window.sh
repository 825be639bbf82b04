#!/usr/bin/env bash
# Measures a program in a real window under Xvfb with openbox: CPU while a screen waits for a
# key, and how long a keystroke takes to show. Usage: tools/measure_window.sh [BIN_DIR]
set -eu
bin=${1:-build/bin}
here=$(cd "$(dirname "$0")" && pwd)
dpkg-query -W libx11-dev libxtst-dev >/dev/null 2>&1 || { [ "$(id -u)" -eq 0 ] && s= || s=sudo; $s apt-get install -y -qq libx11-dev libxtst-dev; }
work=$(mktemp -d)
gcc -O2 -o "$work/keylatency" "$here/keylatency.c" -lX11 -lXtst
trap 'kill ${app:-} ${wm:-} ${xvfb:-} 2>/dev/null; rm -rf "$work"' EXIT
Xvfb -displayfd 3 -screen 0 1600x1000x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"
openbox >/dev/null 2>&1 &
wm=$!
sleep 1
"$bin/halvard" --clock 12:34:56 &
app=$!
win=$(xdotool search --sync --limit 1 --name '^Halvard$' | head -n 1)
sleep 2
hz=$(getconf CLK_TCK)
idle() {
  local a b
  a=$(awk '{print $14 + $15}' "/proc/$app/stat"); sleep 20; b=$(awk '{print $14 + $15}' "/proc/$app/stat")
  awk -v d=$((b - a)) -v hz="$hz" -v what="$1" 'BEGIN { printf "%s: %.2f%% of one core over 20 s\n", what, 100 * d / hz / 20 }'
}
idle "contents screen waiting for a key"
xdotool windowactivate --sync "$win"
xdotool type --delay 100 1
sleep 1
# The start-number prompt types at (320, 306): the band around it.
"$work/keylatency" "$win" 1440 900 300 296 700 330 40
idle "start-number prompt waiting for a key"
