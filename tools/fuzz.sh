#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for SECONDS, starting from the corpus
# kept in fuzz/corpus. What a run finds is left in BUILD_DIR as crash-* files and fails the script.
# Usage: tools/fuzz.sh [SECONDS] [BUILD_DIR]   (default 60, build-fuzz)
set -euo pipefail
src="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-60}"
dir="${2:-$src/build-fuzz}"
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
CXX=clang++ cmake -S "$src" -B "$dir" -DDRILLS_FUZZ=ON -DDRILLS_TESTS=OFF "${launcher[@]}" >/dev/null
cmake --build "$dir" -j2 --target program_keys_fuzz text_fuzz
export ASAN_OPTIONS=halt_on_error=1:detect_leaks=0
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
for target in program_keys text; do
  case "$target" in program_keys) corpus=keys ;; *) corpus=text ;; esac
  found="$dir/corpus-$corpus"
  mkdir -p "$found"
  echo "fuzzing $target for $seconds s"
  (cd "$dir" && "$dir/bin/${target}_fuzz" -max_total_time="$seconds" -timeout=30 -rss_limit_mb=4096 \
      -print_final_stats=1 "$found" "$src/fuzz/corpus/$corpus")
done
