#!/usr/bin/env bash
# The whole test suite built with AddressSanitizer and UBSan, stopping at the first report.
# Built with clang and the fuzzers' coverage, so that tools/fuzz.sh given the same BUILD_DIR
# only links its targets instead of compiling everything a third time.
# Usage: tools/sanitize.sh [BUILD_DIR]   (default build-asan)
set -euo pipefail
src="$(cd "$(dirname "$0")/.." && pwd)"
dir="${1:-$src/build-asan}"
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
# Without -Werror: the ordinary build holds the warnings; this one is about what runs.
CXX=clang++ cmake -S "$src" -B "$dir" -DDRILLS_FUZZ=ON -DDRILLS_TESTS=ON "${launcher[@]}" >/dev/null
cmake --build "$dir" -j2
export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:abort_on_error=0
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
# Quiet about the suppressions it used, so a program's stderr stays what the tests expect.
export LSAN_OPTIONS="suppressions=$src/tools/lsan.supp:print_suppressions=0"
# The window tests run their own X server; the sanitized programs are covered headless. The
# package test cannot pass here: the sanitizers write source paths into the binaries for their
# reports, and a package must name none. The ordinary build makes and checks the package.
ctest --test-dir "$dir" --output-on-failure -j2 --timeout 900 -E '^(window|ime_window|package)$'
