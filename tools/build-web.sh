#!/usr/bin/env bash
# Builds the programs for a web browser with Debian's emscripten.
#
# emscripten's own ports download their sources from the network, so SDL2, SDL2_ttf and FreeType
# are built here from Debian's source packages instead, once, into a cache folder named after
# their versions (~/.cache/drills-web/<versions>/; FreeType and SDL2_ttf in a folder inside it
# named after how FreeType is cut down for the page); later runs reuse it.
#
# Usage: bash tools/build-web.sh        (run as root, or with the source packages already cached)
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)

# The browser toolchain and the browser test's tools, installed here rather than by setup.sh
# because only the web build needs them.
web_packages=(emscripten python3-fonttools chromium python3-websocket firefox-esr)
missing=()
for p in "${web_packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
for tool in emcc emcmake emconfigure emmake node; do
  command -v "$tool" >/dev/null || { echo "build-web: $tool is missing (apt-get install emscripten)" >&2; exit 1; }
done
# emscripten 3.1.6's tools run under Node 20 only without its experimental fetch, and its
# optimising link looks for its Node modules where Debian puts them.
export NODE_OPTIONS="${NODE_OPTIONS:+$NODE_OPTIONS }--no-experimental-fetch"
export NODE_PATH=/usr/share/nodejs
# Debian's emscripten ships its system libraries prebuilt in a frozen cache: use only those.
unset EM_CACHE

version() { apt-cache show "$1" 2>/dev/null | awk '/^Version:/ { print $2; exit }'; }
sdl=$(version libsdl2-dev) ttf=$(version libsdl2-ttf-dev) ft=$(version libfreetype-dev)
[ -n "$sdl" ] && [ -n "$ttf" ] && [ -n "$ft" ] || { echo "build-web: apt-cache knows no SDL2/FreeType versions" >&2; exit 1; }
cache="$HOME/.cache/drills-web/sdl2-$sdl-ttf-$ttf-freetype-$ft"
prefix="$cache/prefix"
mkdir -p "$cache/src"

# --- Debian's source packages -------------------------------------------------------------
fetch() {  # SOURCE-PACKAGE VERSION
  local dir
  dir=$(find "$cache/src" -maxdepth 1 -mindepth 1 -type d -name "$1-[0-9]*" | head -n 1)
  if [ -z "$dir" ]; then
    if ! apt-get source --print-uris "$1=$2" >/dev/null 2>&1; then
      # The binary lines of the sources file, as source lines.
      sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources \
        >/etc/apt/sources.list.d/drills-web-src.sources
      apt-get update -qq
    fi
    (cd "$cache/src" && apt-get source -qq "$1=$2") >&2
    dir=$(find "$cache/src" -maxdepth 1 -mindepth 1 -type d -name "$1-[0-9]*" | head -n 1)
  fi
  echo "$dir"
}
ft_src=$(fetch freetype "$ft")
sdl_src=$(fetch libsdl2 "$sdl")
ttf_src=$(fetch libsdl2-ttf "$ttf")

# --- The libraries for the browser ----------------------------------------------------------
# FreeType is cut down to what the page's font needs (below), so it and SDL2_ttf, which is
# compiled against its headers, have a folder of their own named after that choice: a cache
# holding a whole FreeType is never taken for it, and SDL2 is not built again when it changes.
fonts="$cache/freetype-truetype-mono-1"
fonts_prefix="$fonts/prefix"
mkdir -p "$fonts"
if [ ! -f "$fonts_prefix/lib/libfreetype.a" ]; then
  echo "build-web: building FreeType $ft for the browser (TrueType and monochrome outlines only)"
  emcmake cmake -S "$ft_src" -B "$fonts/build-freetype" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$fonts_prefix" -DBUILD_SHARED_LIBS=OFF \
    -DFT_DISABLE_ZLIB=ON -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON -DFT_DISABLE_HARFBUZZ=ON \
    -DFT_DISABLE_BROTLI=ON >"$fonts/freetype.log" 2>&1
  # FreeType's build reads its configuration from its build folder's include/ first, where it has
  # just written its options. A page draws one TrueType font, hinted by its own instructions
  # (a font with them is never handed to the autofitter) and rendered two-coloured (SDL2_ttf's
  # Solid rendering): the TrueType driver, the SFNT tables and the monochrome rasteriser are all
  # it loads. Font formats, compressed and wrapped files, variations, colour, embedded bitmaps
  # and glyph names are left out, as the subset font has none of them.
  config="$fonts/build-freetype/include/freetype/config"
  cat >"$config/ftmodule.h" <<'H'
FT_USE_MODULE( FT_Driver_ClassRec, tt_driver_class )
FT_USE_MODULE( FT_Module_Class, sfnt_module_class )
FT_USE_MODULE( FT_Renderer_Class, ft_raster1_renderer_class )
H
  for option in FT_CONFIG_OPTION_USE_LZW FT_CONFIG_OPTION_USE_ZLIB FT_CONFIG_OPTION_POSTSCRIPT_NAMES \
      FT_CONFIG_OPTION_ADOBE_GLYPH_LIST FT_CONFIG_OPTION_MAC_FONTS FT_CONFIG_OPTION_GUESSING_EMBEDDED_RFORK \
      FT_CONFIG_OPTION_INCREMENTAL FT_CONFIG_OPTION_SVG TT_CONFIG_OPTION_EMBEDDED_BITMAPS \
      TT_CONFIG_OPTION_COLOR_LAYERS TT_CONFIG_OPTION_POSTSCRIPT_NAMES TT_CONFIG_OPTION_GX_VAR_SUPPORT \
      TT_CONFIG_OPTION_BDF; do
    grep -q "^#define $option\b" "$config/ftoption.h" || { echo "build-web: FreeType has no $option" >&2; exit 1; }
    sed -i "s|^#define $option\b.*|/* & (not for the page) */|" "$config/ftoption.h"
  done
  cmake --build "$fonts/build-freetype" -j"$jobs" >>"$fonts/freetype.log" 2>&1
  cmake --install "$fonts/build-freetype" >>"$fonts/freetype.log" 2>&1
  rm -f "$fonts_prefix/lib/libSDL2_ttf.a"  # compiled against the FreeType it replaces
fi
if [ ! -f "$prefix/lib/libSDL2.a" ]; then
  echo "build-web: building SDL2 $sdl for the browser (slow the first time)"
  emcmake cmake -S "$sdl_src" -B "$cache/build-sdl2" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF \
    -DSDL_THREADS=OFF >"$cache/sdl2.log" 2>&1
  cmake --build "$cache/build-sdl2" -j"$jobs" >>"$cache/sdl2.log" 2>&1
  cmake --install "$cache/build-sdl2" >>"$cache/sdl2.log" 2>&1
fi
if [ ! -f "$fonts_prefix/lib/libSDL2_ttf.a" ]; then
  # One source file; its own CMake project would pull emscripten's downloading SDL2 port.
  echo "build-web: building SDL2_ttf $ttf for the browser"
  mkdir -p "$fonts/build-ttf" "$fonts_prefix/include/SDL2"
  emcc -O2 -I"$prefix/include/SDL2" -I"$fonts_prefix/include/freetype2" -c "$ttf_src/SDL_ttf.c" \
    -o "$fonts/build-ttf/SDL_ttf.o" >"$fonts/ttf.log" 2>&1
  emar rcs "$fonts_prefix/lib/libSDL2_ttf.a" "$fonts/build-ttf/SDL_ttf.o"
  cp "$ttf_src/SDL_ttf.h" "$fonts_prefix/include/SDL2/"
fi
echo "build-web: libraries ready in $prefix and $fonts_prefix"

# --- The programs ------------------------------------------------------------------------------
out="$repo/build-web"
site="$out/site"
obj="$out/obj"
mkdir -p "$site" "$obj" "$out/include"
# Only the header-only libraries, never the host's whole /usr/include.
ln -sfn /usr/include/CLI "$out/include/CLI"
ln -sfn /usr/include/nlohmann "$out/include/nlohmann"
ln -sfn /usr/include/utf8cpp/utf8 "$out/include/utf8"
ln -sf /usr/include/utf8cpp/utf8.h "$out/include/utf8.h"
project_version=$(sed -n 's/^project(drills VERSION \([0-9.]*\).*/\1/p' "$repo/CMakeLists.txt")
cxxflags=(-std=c++20 -O2 -fexceptions -I"$repo" -I"$out/include" -I"$fonts_prefix/include/SDL2" -I"$prefix/include/SDL2"
  -DDRILLS_VERSION="\"$project_version\"")

source_dirs=("$repo/runtime" "$repo/shell" "$repo/results" "$repo/halvard" "$repo/morvane" "$repo/quillon" "$repo/brenwick")
compile() {  # SOURCE: compiled again only when it or any of the programs' headers is newer than its object
  local src=$1 o
  o="$obj/$(echo "${1#"$repo"/}" | tr / _).o"
  if [ ! -f "$o" ] || [ "$src" -nt "$o" ] || [ -n "$(find "${source_dirs[@]}" \( -name '*.h' -o -name '*.inc' \) -newer "$o" -print -quit)" ]; then
    em++ "${cxxflags[@]}" -c "$src" -o "$o"
  fi
}
sources=$(find "$repo/runtime" "$repo/shell" "$repo/halvard" "$repo/morvane" "$repo/quillon" "$repo/brenwick" \
  -maxdepth 1 -name '*.cpp' ! -name '*_test.cpp' | sort)
# A page keeps no results: of the store only the run that starts a program without one.
sources+=$'\n'"$repo/results/run.cpp"
echo "build-web: compiling $(echo "$sources" | wc -l) files"
running=0
for src in $sources; do
  compile "$src" &
  running=$((running + 1))
  if [ "$running" -ge "$jobs" ]; then wait -n; running=$((running - 1)); fi
done
while [ "$running" -gt 0 ]; do wait -n; running=$((running - 1)); done

# The font: only the characters the programs can draw, so a page stays light. The subsetter
# keeps the hinting, so the glyphs keep the full font's pixels.
echo "build-web: the font subset"
chars="$out/characters.txt"
/usr/bin/python3 "$repo/tools/drawn_characters.py" "$repo" >"$chars"
/usr/bin/python3 -m fontTools.subset /usr/share/fonts/opentype/ipafont-gothic/ipag.ttf --text-file="$chars" \
  --output-file="$out/drills-gothic.new.ttf" --name-IDs='*' --name-languages='*'
/usr/bin/python3 - "$out/drills-gothic.new.ttf" <<'PY'
# A subset is a derived font: it may not carry the original's name.
import sys
from fontTools.ttLib import TTFont
f = TTFont(sys.argv[1], recalcTimestamp=False)  # the same bytes each time
for rec in f['name'].names:
    if rec.nameID in (1, 3, 4, 6, 16, 17):
        rec.string = 'Drills Gothic' if rec.nameID != 6 else 'DrillsGothic'
f.save(sys.argv[1])
PY
# Replaced only when it changed, so the pages are not linked again for nothing.
if cmp -s "$out/drills-gothic.new.ttf" "$out/drills-gothic.ttf"; then rm "$out/drills-gothic.new.ttf"
else mv "$out/drills-gothic.new.ttf" "$out/drills-gothic.ttf"; fi
cp /usr/share/doc/fonts-ipafont-gothic/copyright "$site/drills-gothic-LICENSE.txt" 2>/dev/null || true
# The font is compiled into each program as bytes: a page then needs no file system and no file
# of its own for it, which saves it a request and much of its start-up script.
font_object="$obj/drills-gothic-font.o"
rm -f "$site"/*.data "$out/checked"/*.data  # where earlier builds packed the font
if [ ! -f "$font_object" ] || [ "$out/drills-gothic.ttf" -nt "$font_object" ]; then
  /usr/bin/python3 - "$out/drills-gothic.ttf" "$out/drills-gothic-font.c" <<'PY'
import sys
data = open(sys.argv[1], 'rb').read()
with open(sys.argv[2], 'w') as out:
    out.write('/* Generated by tools/build-web.sh from %s. */\n' % sys.argv[1].rsplit('/', 1)[-1])
    out.write('const unsigned char drills_page_font[] = {\n')
    for i in range(0, len(data), 32):
        out.write(','.join(str(b) for b in data[i:i + 32]) + ',\n')
    out.write('};\nconst unsigned int drills_page_font_size = sizeof drills_page_font;\n')
PY
  emcc -O2 -c "$out/drills-gothic-font.c" -o "$font_object"
fi

libs=("$fonts_prefix/lib/libSDL2_ttf.a" "$fonts_prefix/lib/libfreetype.a" "$prefix/lib/libSDL2.a")
# A program waiting for a key is suspended: every function between main and the wait is unwound
# and later rewound, and must be instrumented for it; everything else is left as it is, which
# keeps the code a third smaller and the page quicker to start. Those functions are all ours: the
# wait is reached only from rt::Screen (readKey, waitForClose) through the backend, called by the
# shell, the programs' editors and entries (their own namespaces, anonymous ones and lambdas
# inside included) and main; the calls between them go directly, through vtables and function
# tables, or through the invoke_ trampolines of calls that may throw (so those count as possible
# waits, and dynCall_, their way back in, is instrumented too). Nothing of libc++, SDL or FreeType
# is ever on such a stack: the programs hand no callback that waits to a library. A wait reached
# through a function left out would break silently here; the checked pages below trap on it.
# (results::Main is usually inlined into main, and then its pattern matches nothing.)
asyncify_only() {  # PROGRAM: the flags naming the functions instrumented in its page
  local list
  list=$(printf "'%s'," main 'dynCall_*' 'results::*' 'shell::*' 'rt::Screen::*' 'rt::*BrowserBackend::wait*' "$1::*")
  echo "-sASYNCIFY_ONLY=[${list%,}]"
}
ldflags=(-O2 -fexceptions -sASYNCIFY "-sASYNCIFY_IMPORTS=['invoke_*']"
  -sALLOW_MEMORY_GROWTH=1 -sEXIT_RUNTIME=1 -sFILESYSTEM=0 -sENVIRONMENT=web)
# The checked pages (build-web/checked, for the browser test; DRILLS_WEB_CHECKED=0 leaves them
# out): the same with the runtime's assertions, under which a function left out of the list above
# traps when a wait passes through it.
checked=${DRILLS_WEB_CHECKED:-1}
[ "$checked" = 1 ] && mkdir -p "$out/checked"
common=("$font_object")
for src in $sources; do
  case "$src" in "$repo"/runtime/* | "$repo"/shell/* | "$repo"/results/*) common+=("$obj/$(echo "${src#"$repo"/}" | tr / _).o") ;; esac
done
# Linked two at a time: most of a link is one process optimising for the suspended wait. A page
# whose files are newer than everything it is made of, this script (its link flags) included, is
# left as it is. Each link goes to build-web/linked/: its start-up script is then written into the
# page, which saves the page a request, and its code is copied beside the page.
running=0
kinds=(site)
[ "$checked" = 1 ] && kinds+=(checked)
for prog in halvard morvane quillon brenwick; do
  own=("$obj/${prog}_"*.o)
  for kind in "${kinds[@]}"; do
    dest="$out/linked/$kind"
    mkdir -p "$dest"
    if [ -f "$dest/$prog.wasm" ] && [ -f "$dest/$prog.js" ] && [ -z "$(find "${own[@]}" "${common[@]}" "${libs[@]}" \
        "$out/drills-gothic.ttf" "$repo/tools/build-web.sh" -newer "$dest/$prog.wasm" -print -quit)" ]; then
      continue
    fi
    extra=()
    [ "$kind" = site ] || extra=(-sASSERTIONS=1)
    echo "build-web: linking $prog${extra[*]:+ (checked)}"
    em++ "${own[@]}" "${common[@]}" "${libs[@]}" "${ldflags[@]}" "$(asyncify_only "$prog")" "${extra[@]}" \
      -o "$dest/$prog.js" &
    running=$((running + 1))
    if [ "$running" -ge "$jobs" ]; then wait -n; running=$((running - 1)); fi
  done
done
while [ "$running" -gt 0 ]; do wait -n; running=$((running - 1)); done
rm -f "$site"/*.js "$out/checked"/*.js  # where earlier builds kept the start-up scripts
rows=
for prog in halvard morvane quillon brenwick; do
  name=$(awk -v p="$prog" '$1 == "drills_desktop_program(" p { f = 1 } f && $1 == "NAME" { gsub(/"/, "", $2); print $2; exit }' \
    "$repo/packaging/programs.cmake")
  for kind in "${kinds[@]}"; do
    dest=$site
    [ "$kind" = site ] || dest="$out/checked"
    cp "$out/linked/$kind/$prog.wasm" "$dest/$prog.wasm"
    sed -e "s/@NAME@/$name/g" -e "s/@PROG@/$prog/g" -e "/^@SCRIPT@\$/{r $out/linked/$kind/$prog.js" -e "d}" \
      "$repo/web/page.html" >"$dest/$prog.html"
  done
  field() { awk -v p="$prog" -v k="$1" '$1 == "drills_desktop_program(" p { f = 1 } f && $1 == k {
    sub(/^ *[A-Z_]+ "/, ""); sub(/"\)?$/, ""); print; exit }' "$repo/packaging/programs.cmake"; }
  rows+="<li><a href=\"$prog.html\">$name</a> — $(field SUMMARY_JA) / $(field SUMMARY)</li>"$'\n'
done
sed -e "/@ROWS@/{r /dev/stdin" -e "d}" "$repo/web/index.html" >"$site/index.html" <<<"$rows"
if [ "$checked" = 1 ]; then cp "$site/index.html" "$out/checked/"; fi
echo "build-web: done; serve it with: python3 -m http.server -d build-web/site"
