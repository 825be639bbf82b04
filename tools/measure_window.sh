#!/usr/bin/env bash
# Measures Halvard in a real window under Xvfb with openbox, maximised, at several screen sizes:
# exec to first visible contents (beside a bare SDL2 + SDL2_ttf probe, measured in the same run),
# keystroke-to-screen latency at the start-number prompt and on the answer line, idle CPU over
# 20 s, time to redraw after a resize, and peak RSS; then headless problems per second for a
# scripted 1300-problem session. Prints a table, with the load average before and after, since
# the figures mean little on a busy machine.
# Usage: tools/measure_window.sh [--first-frame] [BIN_DIR] [SIZES...]   (sizes like 1920x1080)
#   --first-frame  measures only exec to first visible contents (and the probe), quickly.
set -eu
quick=0
[ "${1:-}" = --first-frame ] && { quick=1; shift; }
runs=20  # first-frame starts of each, program and probe taking turns
bin=${1:-build/bin}
shift || true
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(1280x720 1366x768 1920x1080 3840x2160)
here=$(cd "$(dirname "$0")" && pwd)
font=$(fc-match -f '%{file}' IPAGothic)
dpkg-query -W libx11-dev libxtst-dev libxdamage-dev >/dev/null 2>&1 ||
  { [ "$(id -u)" -eq 0 ] && s= || s=sudo; $s apt-get install -y -qq libx11-dev libxtst-dev libxdamage-dev; }
work=$(mktemp -d)
. "$here/x_display.sh"
gcc -O2 -o "$work/keylatency" "$here/keylatency.c" -lX11 -lXtst -lXdamage
gcc -O2 -o "$work/firstframe" "$here/firstframe.c" -lX11 -lXdamage
gcc -O2 -o "$work/probe" "$here/probe.c" $(pkg-config --cflags --libs sdl2 SDL2_ttf)
trap 'kill ${app:-} ${wm:-} ${xvfb:-} 2>/dev/null; rm -rf "$work"' EXIT
hz=$(getconf CLK_TCK)
median() { sort -n | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }
max() { sort -n | tail -n 1; }
loadavg() { cut -d' ' -f1-3 /proc/loadavg; }
load_before=$(loadavg)

rows=()
for size in "${sizes[@]}"; do
  start_display "$size"
  # First visible contents, the program and the probe taking turns.
  : >"$work/prog.ms"; : >"$work/probe.ms"
  for _ in $(seq "$runs"); do
    "$work/firstframe" start "$bin/halvard" --clock 12:34:56 >>"$work/prog.ms" || echo "$size: a start showed nothing" >&2
    sleep 0.3
    "$work/firstframe" start "$work/probe" "$font" >>"$work/probe.ms" || echo "$size: a probe showed nothing" >&2
    sleep 0.3
  done
  first=$(median <"$work/prog.ms"); probe=$(median <"$work/probe.ms")
  ratio=$(awk -v a="$first" -v b="$probe" 'BEGIN { printf "%.2f", a / b }')
  if [ "$quick" = 1 ]; then
    rows+=("| $size | $first | $(sort -n "$work/prog.ms" | head -n 1) / $(max <"$work/prog.ms") | $probe | $ratio |")
    stop_display
    echo "measured $size" >&2
    continue
  fi

  "$bin/halvard" --clock 12:34:56 &
  app=$!
  win=$(xdotool search --sync --limit 1 --name '^Halvard$' | head -n 1)
  sleep 2
  a=$(awk '{print $14 + $15}' "/proc/$app/stat"); sleep 20; b=$(awk '{print $14 + $15}' "/proc/$app/stat")
  idle=$(awk -v d=$((b - a)) -v hz="$hz" 'BEGIN { printf "%.2f", 100 * d / hz / 20 }')
  xdotool windowactivate --sync "$win"
  xdotool type --delay 100 1
  sleep 1
  # The start-number prompt types at (320, 306); the answer line lies between y 556 and 632.
  prompt=$("$work/keylatency" "$win" 1440 900 300 296 700 330 30 | tail -n 1)
  xdotool type --delay 100 1; xdotool key Return
  sleep 1.5
  answer=$("$work/keylatency" "$win" 1440 900 480 556 1440 632 30 | tail -n 1)
  # Resize: unmaximised, then two sizes in turn.
  wmctrl -r Halvard -b remove,maximized_vert,maximized_horz
  sleep 1
  w=${size%x*} h=${size#*x}
  : >"$work/resize"
  for k in 1 2 3 4; do
    if [ $((k % 2)) -eq 1 ]; then rw=$((w * 8 / 10)) rh=$((h * 8 / 10)); else rw=$((w * 19 / 20)) rh=$((h * 19 / 20)); fi
    "$work/firstframe" resize "$win" "$rw" "$rh" >>"$work/resize" || echo 9999 >>"$work/resize"
    sleep 0.5
  done
  resize=$(max <"$work/resize")
  rss=$(awk '/VmHWM/ {printf "%.1f", $2 / 1024}' "/proc/$app/status")
  wmctrl -c Halvard; wait "$app" || true; app=
  stop_display
  pm=$(echo "$prompt" | sed -E 's/.*median ([0-9.]+) ms, .*worst ([0-9.]+) ms.*/\1 \/ \2/')
  am=$(echo "$answer" | sed -E 's/.*median ([0-9.]+) ms, .*worst ([0-9.]+) ms.*/\1 \/ \2/')
  rows+=("| $size | $first | $probe | $ratio | $pm | $am | $idle | $resize | $rss |")
  echo "measured $size" >&2
done

if [ "$quick" = 1 ]; then
  echo
  echo "| screen | first contents ms (median of $runs) | fastest / slowest | bare probe ms (median of $runs) | ratio |"
  echo "|---|---|---|---|---|"
  printf '%s\n' "${rows[@]}"
  echo
  echo "load average before: $load_before; after: $(loadavg)"
  exit 0
fi

# Headless: about 1300 problems typed as a pupil would, answers right, wrong and cleared. One
# argument may hold at most 128 KiB, so the session is two runs of half the problems each.
chunk='2 x=1{Enter} {F1}7{Enter}-2{Enter}{BS}{Enter}{Enter} x={F1}!2{Enter}{Enter}5{Enter}{Clear}x=-5{Enter}'
keys="1 1{Enter}"
for _ in $(seq 950); do keys+=$chunk; done
"$bin/halvard" --headless --clock 08:15:42 --keys "$keys" --trace "$work/session.jsonl"
problems=$((2 * $(grep -c '"op":"Present"' "$work/session.jsonl")))
best=999
for _ in 1 2 3 4 5; do
  t0=$(date +%s.%N)
  "$bin/halvard" --headless --clock 08:15:42 --keys "$keys"
  "$bin/halvard" --headless --clock 08:15:42 --keys "$keys"
  t1=$(date +%s.%N)
  best=$(awk -v a="$t0" -v b="$t1" -v m="$best" 'BEGIN { d = b - a; print (d < m) ? d : m }')
done

echo
echo "| screen | first contents ms (median of $runs) | bare probe ms | ratio | keystroke ms at prompt, median / worst of 30 | on the answer line, median / worst of 30 | idle CPU % over 20 s | resize redraw ms (worst of 4) | peak RSS MB |"
echo "|---|---|---|---|---|---|---|---|---|"
printf '%s\n' "${rows[@]}"
echo
awk -v p="$problems" -v t="$best" 'BEGIN { printf "headless: %d problems in %.3f s (best of 5): %.0f problems per second\n", p, t, p / t }'
echo "load average before: $load_before; after: $(loadavg)"
