#!/usr/bin/env bash
# CPack's Debian package: its control fields, its contents, programs that run from the unpacked
# tree, and lintian with nothing to say above an informational note.
# Usage: package_test.sh BUILD_DIR SOURCE_DIR VERSION   (exit 77: a packaging tool is missing)
set -u
build=${1:?usage: package_test.sh BUILD_DIR SOURCE_DIR VERSION}
source_dir=${2:?}
version=${3:?}
programs=(halvard morvane quillon brenwick)

for tool in cpack dpkg-deb dpkg-shlibdeps lintian file; do
  command -v "$tool" >/dev/null || { echo "package test: skipped, $tool is missing (tools/setup.sh installs it)"; exit 77; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "package test: FAIL: $*"; failures=$((failures + 1)); }

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; echo "package test: FAIL: cpack"; exit 1; }
debs=("$work"/out/drills_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { cat "$work/cpack.log"; echo "package test: FAIL: no single .deb: ${debs[*]}"; exit 1; }
deb=${debs[0]}
arch=$(dpkg --print-architecture)
[ "$(basename "$deb")" = "drills_${version}_$arch.deb" ] || fail "the package file is named $(basename "$deb")"

# Control fields. The libraries in Depends prove that dpkg-shlibdeps looked at the binaries.
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = drills ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture: $(field Architecture)"
depends=$(field Depends)
for dep in fonts-ipafont-gothic libcairo2 libpq5 libsdl2-2.0-0 libsdl2-ttf-2.0-0 libsdl2-image-2.0-0 libc6 libstdc++6; do
  echo "$depends" | tr ',' '\n' | awk '{ print $1 }' | grep -qxF "$dep" || fail "Depends lacks $dep: $depends"
done

# Contents: the four programs with their launchers, metadata, manual pages and icons.
dpkg-deb -c "$deb" | awk '{ print $6 }' | sed 's|^\./|/|' | sort >"$work/contents"
count() { grep -Ec "$1" "$work/contents"; }
[ "$(count '^/usr/bin/[a-z-]+$')" -eq 5 ] || fail "not 4 programs and the report in /usr/bin: $(grep '^/usr/bin/' "$work/contents" | tr '\n' ' ')"
[ "$(count '^/usr/share/applications/.+\.desktop$')" -eq 4 ] || fail "not 4 launchers"
[ "$(count '^/usr/share/metainfo/.+\.metainfo\.xml$')" -eq 4 ] || fail "not 4 metainfo files"
[ "$(count '^/usr/share/man/man1/[a-z]+\.1\.gz$')" -eq 4 ] || fail "not 4 manual pages"
[ "$(count '^/usr/share/icons/hicolor/(48x48|128x128|256x256)/apps/.+\.png$')" -eq 12 ] || fail "not 12 PNG icons"
[ "$(count '^/usr/share/icons/hicolor/scalable/apps/.+\.svg$')" -eq 4 ] || fail "not 4 SVG icons"
for doc in copyright changelog.gz; do
  grep -qx "/usr/share/doc/drills/$doc" "$work/contents" || fail "no /usr/share/doc/drills/$doc"
done

# Unpacked, every program runs headless from another directory and ends with status 0. Its
# stripped binary names neither the source tree nor the build tree: data found there on the
# build machine would be missing on the pupil's.
dpkg -x "$deb" "$work/root" || fail "dpkg -x"
mkdir "$work/elsewhere"
for prog in "${programs[@]}"; do
  bin=$work/root/usr/bin/$prog
  (cd "$work/elsewhere" && "$bin" --headless --keys 3 >"$work/run.out" 2>&1)
  status=$?
  [ "$status" -eq 0 ] || fail "$prog --headless --keys 3 from the unpacked package ended with $status: $(cat "$work/run.out")"
  file -b "$bin" | grep -q ', stripped' || fail "$prog is not stripped: $(file -b "$bin")"
  for tree in "$source_dir" "$build"; do
    tree=$(cd "$tree" && pwd -P)
    grep -qaF "$tree" "$bin" && fail "$prog names the path $tree"
  done
  # Libraries used only now and then are loaded when first used, not at every start.
  needed=$(objdump -p "$bin" | awk '$1 == "NEEDED" { print $2 }')
  for lib in libcairo libpq libSDL2_image; do
    echo "$needed" | grep -q "^$lib" && fail "$prog loads $lib at every start"
  done
done

# The changelog shipped is the packaging one, and its newest entry is this version.
zcat "$work/root/usr/share/doc/drills/changelog.gz" | head -n 1 | grep -q "^drills ($version) " ||
  fail "the shipped changelog does not begin with version $version"

# lintian: no error and no warning (informational notes are allowed).
lintian --fail-on error,warning --tag-display-limit 0 "$deb" >"$work/lintian.out" 2>&1
status=$?
cat "$work/lintian.out"
[ "$status" -eq 0 ] || fail "lintian found errors or warnings (status $status)"
grep -Eq '^[EW]: ' "$work/lintian.out" && fail "lintian reports: $(grep -E '^[EW]: ' "$work/lintian.out")"

[ "$failures" -eq 0 ] || { echo "package test: $failures failures"; exit 1; }
echo "package test: $(basename "$deb") unpacks into 4 programs that run; lintian is clean"
