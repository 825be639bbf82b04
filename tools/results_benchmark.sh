#!/usr/bin/env bash
# The results store's benchmark. Not a test: it prints tables to read, it does not judge.
#   1. headless problems per second of one program with the SQLite store on and off: the same
#      program, clock and keys, runs taken in turn, the median of each. The sessions last about a
#      second each and there are 11 runs of each by default: shorter ones, or fewer, measure this
#      machine's moods more than the store;
#   2. the time one problem takes inside the store (median, 99th percentile, worst), SQLite and
#      PostgreSQL: how long record() keeps the pupil's thread, and how long until the problem is
#      written by the store's own thread;
#   3. drills-report's time over 100,000 recorded problems, SQLite and PostgreSQL, JSON and text.
# PostgreSQL is a throwaway server started here in a temporary folder on a free port (as the
# postgres user when run as root, since initdb refuses root); its part is left out, saying so,
# when the server binaries are missing.
# Usage: tools/results_benchmark.sh [BUILD_DIR] [RUNS]   (defaults: build, 11)
set -euo pipefail
dir="$(cd "${1:-build}" && pwd)"
runs="${2:-11}"
rows=100000
cmake --build "$dir" -j2 --target halvard drills-report results_bench >/dev/null
bin="$dir/bin"
work="$(mktemp -d /tmp/drills_results_bench.XXXXXX)"
chmod 755 "$work"
server=""
cleanup() {
  [ -n "$server" ] && $as "$pgbin/pg_ctl" -D "$work/pg/data" -m immediate stop >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT

# Seconds of wall time a command takes, its output thrown away.
seconds() {
  local start end
  start=$(date +%s.%N)
  "$@" >/dev/null
  end=$(date +%s.%N)
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.4f\n", b - a }' 
}
# "wall cpu": seconds of wall time and of processor time (user + system, every thread) of a run.
timed() {
  /usr/bin/time -f "%e %U %S" -o "$work/time" "$@" >/dev/null
  awk '{ printf "%s %.2f\n", $1, $2 + $3 }' "$work/time"
}
median() { sort -g | awk '{ v[NR] = $1 } END { m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2; printf "%.3f\n", m }'; }

echo "load average at start: $(cut -d' ' -f1-3 /proc/loadavg)"
echo

# 1. Problems per second. View mode is the store's worst case: a problem is over at one Enter.
view_keys=""
for _ in $(seq 900); do view_keys+="2"; for _ in $(seq 13); do view_keys+="{Enter}"; done; done
view_problems=$((900 * 13))
practice_problems=4500
practice_keys="11{Enter}"
for _ in $(seq $practice_problems); do practice_keys+="7{Enter} 7{Enter} 7{Enter}2"; done

echo "| session (halvard, --headless --clock 12:34:56) | problems | store off: problems/s | store on: problems/s | on / off (wall) | on / off (processor time) |"
echo "|---|---|---|---|---|---|"
for session in view practice; do
  if [ $session = view ]; then keys="$view_keys"; problems=$view_problems; else keys="$practice_keys"; problems=$practice_problems; fi
  : >"$work/off" && : >"$work/on"
  for _ in $(seq "$runs"); do
    timed "$bin/halvard" --headless --clock 12:34:56 --keys "$keys" --no-results >>"$work/off"
    rm -f "$work/on.sqlite3"*
    timed "$bin/halvard" --headless --clock 12:34:56 --keys "$keys" --results "$work/on.sqlite3" >>"$work/on"
  done
  stored=$(sqlite3 "$work/on.sqlite3" "SELECT count(*) FROM results")
  # A session may end on a problem in progress (left): then one row more than problems finished.
  [ "$stored" -ge "$problems" ] || { echo "the store kept $stored rows of $problems problems" >&2; exit 1; }
  off_s=$(cut -d' ' -f1 "$work/off" | median) off_cpu=$(cut -d' ' -f2 "$work/off" | median)
  on_s=$(cut -d' ' -f1 "$work/on" | median) on_cpu=$(cut -d' ' -f2 "$work/on" | median)
  awk -v s="$session" -v r="$runs" -v n="$problems" -v off="$off_s" -v on="$on_s" -v offc="$off_cpu" -v onc="$on_cpu" \
    'BEGIN { printf "| %s (%s runs each, median) | %d | %.0f | %.0f | %.0f%% | %.0f%% (%.2f s against %.2f s) |\n", s, r, n, n / off, n / on, 100 * off / on, 100 * offc / onc, onc, offc }'
done
echo

# PostgreSQL: a server of our own for parts 2 and 3.
pgbin="$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1 || true)"
as=""
pg=""
if [ -n "$pgbin" ] && [ -x "$pgbin/initdb" ]; then
  mkdir -p "$work/pg"
  if [ "$(id -u)" -eq 0 ]; then chown postgres "$work/pg"; as="runuser -u postgres --"; fi
  # A port nothing answers on.
  port=$((20000 + RANDOM % 30000))
  while (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; do port=$((20000 + RANDOM % 30000)); done
  $as "$pgbin/initdb" -D "$work/pg/data" -U postgres --auth=trust >/dev/null
  $as "$pgbin/pg_ctl" -D "$work/pg/data" -l "$work/pg/log" -w \
    -o "-p $port -k $work/pg -c listen_addresses=127.0.0.1" start >/dev/null
  server=yes
  pg="postgresql://postgres@127.0.0.1:$port/postgres"
else
  echo "(PostgreSQL server binaries not installed: its rows are left out; tools/setup.sh installs them)"
  echo
fi

# 2. One problem inside the store, each into its own transaction as the programs do.
echo "| store | problems recorded | | median | 99th percentile | worst | mean |"
echo "|---|---|---|---|---|---|---|"
record_row() {
  "$bin/results_bench" record "$2" 5000 >"$work/record"
  local what=("record() on the pupil's thread" "until written")
  local i=0 med worst p99 mean
  while read -r med worst p99 mean; do
    printf '| %s | 5000 | %s | %s µs | %s µs | %s µs | %s µs |\n' "$1" "${what[$i]}" "$med" "$p99" "$worst" "$mean"
    i=$((i + 1))
  done <"$work/record"
}
record_row "SQLite (WAL, synchronous=NORMAL)" "$work/record.sqlite3"
[ -n "$pg" ] && record_row "PostgreSQL (local, default durability)" "$pg"
echo

# 3. The report over a class's history.
echo "| store | rows | fill (s) | drills-report --format json (s, median of $runs) | --format text (s) |"
echo "|---|---|---|---|---|"
report_row() {
  local name="$1" target="$2" fill="$3" json=() text=()
  for _ in $(seq "$runs"); do
    json+=("$(seconds "$bin/drills-report" --results "$target" --format json)")
    text+=("$(seconds "$bin/drills-report" --results "$target" --format text)")
  done
  printf '| %s | %d | %s | %s | %s |\n' "$name" "$rows" "$fill" "$(printf '%s\n' "${json[@]}" | median)" \
    "$(printf '%s\n' "${text[@]}" | median)"
}
# The report is timed over exactly the rows filled: none lost, none set aside in another file.
filled() { [ "$1" -eq "$rows" ] || { echo "the fill left $1 rows of $rows" >&2; exit 1; }; }
fill=$("$bin/results_bench" fill "$work/class.sqlite3" $rows)
filled "$(sqlite3 "$work/class.sqlite3" "SELECT count(*) FROM results")"
report_row SQLite "$work/class.sqlite3" "$fill"
if [ -n "$pg" ]; then
  # Filling 100,000 rows one commit at a time waits for no disk flush: only the fill is faster.
  # A database of its own, without the problems recorded above.
  "$pgbin/psql" -qtA "$pg" -c "CREATE DATABASE class" >/dev/null
  class="${pg%/postgres}/class"
  fill=$("$bin/results_bench" fill "$class?options=-c%20synchronous_commit%3Doff" $rows)
  filled "$("$pgbin/psql" -qtA "$class" -c "SELECT count(*) FROM results")"
  report_row PostgreSQL "$class" "$fill"
fi
echo
echo "load average at end: $(cut -d' ' -f1-3 /proc/loadavg)"
