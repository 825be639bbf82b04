#!/usr/bin/env bash
# Measures a worksheet of at least 100 problems for each program: wall seconds, peak memory and
# the PDF's size. Usage: tools/worksheet_benchmark.sh [BIN_DIR] (default build/bin).
# Needs GNU time (/usr/bin/time) and pdftotext. Targets: under 2 seconds and under 1 MB per sheet.
set -eu
bin=${1:-build/bin}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
printf '%-9s %9s %8s %10s %10s\n' program problems seconds "peak KiB" "PDF bytes"
for prog in halvard morvane quillon brenwick; do
  # How many problem numbers the program has: the labels of a sheet of one each, problems and answers.
  "$bin/$prog" --worksheet "$out/one.pdf" --count 1 --clock 09:00:00
  numbers=$(( $(pdftotext "$out/one.pdf" - | grep -c -- '--clock') / 2 ))
  # Each number as often as it takes to reach 100 problems.
  count=$(( (100 + numbers - 1) / numbers ))
  /usr/bin/time -f '%e %M' -o "$out/time" \
    "$bin/$prog" --worksheet "$out/$prog.pdf" --count "$count" --clock 09:00:00
  read -r seconds peak < "$out/time"
  printf '%-9s %9d %8s %10s %10s\n' "$prog" $((numbers * count)) "$seconds" "$peak" "$(stat -c %s "$out/$prog.pdf")"
done
