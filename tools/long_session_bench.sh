#!/usr/bin/env bash
# The long-session benchmark: PROBLEMS problems (default 100000) in one headless run of each
# program, fixed clock, no trace. Not a test: it prints a table to read, it does not judge.
# Usage: tools/long_session_bench.sh [BUILD_DIR] [PROBLEMS]
set -euo pipefail
dir="${1:-build}"
problems="${2:-100000}"
cmake --build "$dir" -j2 --target long_session_bench >/dev/null
echo "| program | problems | problems/s | peak RSS at 10,000 | peak RSS at end | growth |"
echo "|---|---|---|---|---|---|"
for program in halvard morvane quillon brenwick; do
  "$dir/bin/long_session_bench" "$program" "$problems"
done
