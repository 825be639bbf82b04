#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for SECONDS, both at once, starting from
# the corpus kept in fuzz/corpus. What a run finds is left in BUILD_DIR as crash-* files and fails
# the script. Given the build directory of tools/sanitize.sh, it reuses what that compiled.
# Usage: tools/fuzz.sh [SECONDS] [BUILD_DIR]   (default 60, build-fuzz)
set -euo pipefail
src="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-60}"
dir="${2:-$src/build-fuzz}"
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
# A fresh directory needs no tests; one that has them (the sanitized suite's) keeps them.
tests=()
[ -f "$dir/CMakeCache.txt" ] || tests=(-DDRILLS_TESTS=OFF)
CXX=clang++ cmake -S "$src" -B "$dir" -DDRILLS_FUZZ=ON "${tests[@]}" "${launcher[@]}" >/dev/null
cmake --build "$dir" -j2 --target program_keys_fuzz text_fuzz
export ASAN_OPTIONS=halt_on_error=1:detect_leaks=0
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
pids=()
for target in program_keys text; do
  case "$target" in program_keys) corpus=keys ;; *) corpus=text ;; esac
  found="$dir/corpus-$corpus"
  mkdir -p "$found"
  echo "fuzzing $target for $seconds s"
  (cd "$dir" && exec "$dir/bin/${target}_fuzz" -max_total_time="$seconds" -timeout=30 -rss_limit_mb=4096 \
      -print_final_stats=1 "$found" "$src/fuzz/corpus/$corpus") >"$dir/fuzz-$target.log" 2>&1 &
  pids+=($!)
done
status=0
for i in 0 1; do
  wait "${pids[$i]}" || status=1
done
for target in program_keys text; do
  echo "--- $target"
  # The whole log when something was found; the closing statistics otherwise.
  if [ "$status" -ne 0 ]; then cat "$dir/fuzz-$target.log"; else grep -E '^(Done|stat::)' "$dir/fuzz-$target.log" || true; fi
done
exit "$status"
