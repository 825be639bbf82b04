#!/usr/bin/env bash
# `cmake --install` into a temporary prefix gives four working programs with valid launchers,
# icons at every size, valid AppStream metadata and manual pages that match the options, and
# the report with its manual page.
# Usage: install_test.sh BUILD_DIR ID_PREFIX VERSION   (exit 77: a validator is missing)
set -u
build=${1:?usage: install_test.sh BUILD_DIR ID_PREFIX VERSION}
id_prefix=${2:?}
version=${3:?}
programs=(halvard morvane quillon brenwick)

for tool in desktop-file-validate appstreamcli man; do
  command -v "$tool" >/dev/null || { echo "install test: skipped, $tool is missing (tools/setup.sh installs it)"; exit 77; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "install test: FAIL: $*"; failures=$((failures + 1)); }

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 || { cat "$work/install.log"; echo "install test: FAIL: cmake --install"; exit 1; }

# Width and height of a PNG, read from its header.
png_size() { od -An -tu1 -j16 -N8 "$1" | awk '{ printf "%dx%d", $1*16777216 + $2*65536 + $3*256 + $4, $5*16777216 + $6*65536 + $7*256 + $8 }'; }
# The value of KEY in a desktop file's main group.
desktop_value() { sed -n "s/^$2=//p" "$1" | head -n 1; }

# Nothing but the four programs and the report in bin/, and nothing that belongs to the build (tests, libraries).
installed_bins=$(cd "$prefix/bin" && ls | sort | tr '\n' ' ')
[ "$installed_bins" = "brenwick drills-report halvard morvane quillon " ] || fail "bin/ holds: $installed_bins"
[ -z "$(find "$prefix" -name '*.a' -o -name 'drills_tests')" ] || fail "build-only files installed: $(find "$prefix" -name '*.a' -o -name 'drills_tests')"

# The manual page of PROG renders without a warning and lists every option of --help, each
# heading of HEADINGS (_ for a blank) and each exit status of STATUSES.
check_manual() {
  local prog=$1 headings=$2 statuses=$3 page=$prefix/share/man/man1/$1.1.gz option heading status
  [ -f "$page" ] || { fail "$prog: no manual page $page"; return; }
  LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" >"$work/man.txt" 2>"$work/man.err"
  [ -s "$work/man.err" ] && fail "$prog: man warns: $(cat "$work/man.err")"
  for option in $("$prefix/bin/$prog" --help | grep -o -- '--[a-z]\+' | sort -u); do
    grep -q -- "$option" "$work/man.txt" || fail "$prog: the manual page lacks $option"
  done
  for heading in $headings; do
    grep -q "^${heading//_/ }" "$work/man.txt" || fail "$prog: the manual page has no ${heading//_/ } section"
  done
  for status in $statuses; do
    sed -n '/^EXIT STATUS/,/^[A-Z]/p' "$work/man.txt" | grep -Eq "^ +$status " || fail "$prog: the manual page does not explain status $status"
  done
  grep -q "^ *$prog - " "$work/man.txt" || fail "$prog: the manual page is not named $prog"
}

# Every program runs from an unrelated directory, as a launcher starts it: found on PATH by the
# desktop entry's Exec line, with nothing from the build tree on PATH.
mkdir "$work/elsewhere"
for prog in "${programs[@]}"; do
  id=$id_prefix.$prog
  desktop=$prefix/share/applications/$id.desktop
  [ -f "$desktop" ] || { fail "$prog: no launcher $desktop"; continue; }
  exec_line=$(desktop_value "$desktop" Exec)
  [ "$exec_line" = "$prog" ] || fail "$prog: Exec=$exec_line"
  (cd "$work/elsewhere" && PATH=$prefix/bin:/usr/bin:/bin $exec_line --headless --keys 3 >"$work/$prog.out" 2>&1)
  status=$?
  [ "$status" -eq 0 ] || fail "$prog --headless --keys 3 ended with $status: $(cat "$work/$prog.out")"
  (cd "$work/elsewhere" && "$prefix/bin/$prog" --headless --keys '11{Enter}x=0{Enter}' --clock 10:20:30 \
     --screenshot "$work/$prog.png" >"$work/$prog.out" 2>&1)
  status=$?
  [ "$status" -eq 0 ] || fail "$prog practice run ended with $status: $(cat "$work/$prog.out")"
  case $(png_size "$work/$prog.png" 2>/dev/null) in
    1440x900 | 1920x900) ;;
    *) fail "$prog: the practice screenshot is not a canvas-sized PNG" ;;
  esac
  [ "$("$prefix/bin/$prog" --version)" = "${prog^} $version" ] || fail "$prog --version: $("$prefix/bin/$prog" --version)"
done
[ -z "$(ls -A "$work/elsewhere")" ] || fail "the programs wrote into their working directory: $(ls -A "$work/elsewhere")"

for prog in "${programs[@]}"; do
  id=$id_prefix.$prog
  desktop=$prefix/share/applications/$id.desktop
  [ -f "$desktop" ] || continue
  desktop-file-validate "$desktop" >"$work/validate.out" 2>&1 || fail "$prog: $(cat "$work/validate.out")"
  [ -s "$work/validate.out" ] && fail "$prog: desktop-file-validate says: $(cat "$work/validate.out")"
  for key in 'Name' 'Name\[ja\]' 'Comment' 'Comment\[ja\]'; do
    [ -n "$(desktop_value "$desktop" "$key")" ] || fail "$prog: the launcher has no $key"
  done
  [ "$(desktop_value "$desktop" Name)" != "$(desktop_value "$desktop" 'Name\[ja\]')" ] || fail "$prog: Name[ja] is the English name"
  [ "$(desktop_value "$desktop" Categories)" = "Education;Math;" ] || fail "$prog: Categories=$(desktop_value "$desktop" Categories)"

  # The icon the launcher names exists in the hicolor theme at each size, really that size.
  icon=$(desktop_value "$desktop" Icon)
  for size in 48 128 256; do
    png=$prefix/share/icons/hicolor/${size}x${size}/apps/$icon.png
    if [ ! -f "$png" ]; then fail "$prog: no ${size}px icon $png"; continue; fi
    [ "$(png_size "$png")" = "${size}x${size}" ] || fail "$prog: $png is $(png_size "$png")"
  done
  svg=$prefix/share/icons/hicolor/scalable/apps/$icon.svg
  grep -q '<svg' "$svg" 2>/dev/null || fail "$prog: no scalable icon $svg"

  # The metadata validates, names this launcher and this program, and differs per program.
  metainfo=$prefix/share/metainfo/$id.metainfo.xml
  if [ -f "$metainfo" ]; then
    appstreamcli validate --no-net "$metainfo" >"$work/as.out" 2>&1 || fail "$prog: $(cat "$work/as.out")"
    grep -q "<id>$id</id>" "$metainfo" || fail "$prog: metainfo id is not $id"
    grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" || fail "$prog: metainfo launches another file"
    grep -q "<binary>$prog</binary>" "$metainfo" || fail "$prog: metainfo provides another binary"
    grep -q "<release version=\"$version\"" "$metainfo" || fail "$prog: metainfo has no release $version"
    grep -Eq "<image[^>]*>https://[^<]*/$prog\.png</image>" "$metainfo" || fail "$prog: metainfo has no screenshot of $prog"
  else
    fail "$prog: no metadata $metainfo"
  fi

  check_manual "$prog" "NAME SYNOPSIS DESCRIPTION OPTIONS KEYS EXIT_STATUS ENVIRONMENT FILES" "0 2 70 74 75"
done

check_manual drills-report "NAME SYNOPSIS DESCRIPTION OPTIONS EXIT_STATUS ENVIRONMENT FILES" "0 1 2 74"

[ "$failures" -eq 0 ] || { echo "install test: $failures failures"; exit 1; }
echo "install test: 4 programs ran from $prefix; launchers, icons, metadata and manual pages are valid"
