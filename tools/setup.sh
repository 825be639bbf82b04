#!/usr/bin/env bash
# Installs the Debian packages the build, the programs and the tests need, when missing.
set -eu
packages=(g++ cmake make pkg-config libsdl2-dev libsdl2-ttf-dev libsdl2-image-dev libfontconfig-dev
          fonts-ipafont-gothic libcli11-dev nlohmann-json3-dev libutfcpp-dev libgtest-dev
          fonts-dejavu-core xvfb xauth openbox xdotool wmctrl x11-utils x11-apps
          libx11-dev libxtst-dev libxdamage-dev
          librsvg2-bin help2man
          libcairo2-dev poppler-utils time gzip man-db dpkg-dev file desktop-file-utils appstream lintian
          # results store: SQLite through SQLiteCpp, PostgreSQL through libpq, a server for its test
          libsqlitecpp-dev libsqlite3-dev sqlite3 libpq-dev postgresql)
# Typing through a Japanese input method in the window test: ibus with Anthy on a D-Bus session
# of the test's own, its settings through gsettings.
packages+=(ibus ibus-anthy dbus-daemon dbus-session-bus-common libglib2.0-bin procps)
# The fuzz targets: clang with libFuzzer and the sanitizer runtimes.
packages+=(clang libclang-rt-14-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
