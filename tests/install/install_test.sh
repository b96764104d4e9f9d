#!/usr/bin/env bash
# Builds the Debian package as `make package` does and checks what a distribution and
# a desktop need: lintian's verdict, the files in the places of a game, a valid
# desktop entry and AppStream metadata, the manual page, the computed dependencies,
# and the unpacked package's launcher starting the game from any directory with its
# files under the user's HOME. A second build of the same tree in another directory
# must give a package of the same bytes.
# Usage: install_test.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
source=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
again="$build/package-again"
xpid=
game=
cleanup() {
    [ -n "$game" ] && kill "$game" 2>/dev/null || true
    [ -n "$xpid" ] && kill "$xpid" 2>/dev/null || true
    rm -rf "$work" "$again"
}
trap cleanup EXIT
failures=0
check() {  # check DESCRIPTION COMMAND...
    local what=$1; shift
    if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}

# File times in the package come from the commit, as for a release.
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    SOURCE_DATE_EPOCH=$(git -C "$source" log -1 --format=%ct 2>/dev/null || stat -c %Y "$source/CMakeLists.txt")
fi
export SOURCE_DATE_EPOCH
compiler_launcher=()
if command -v ccache >/dev/null; then
    compiler_launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
build_package() {  # build_package BUILD_DIR PACKAGE_DIR: the steps of `make package`
    cmake -S "$source" -B "$1" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
        "${compiler_launcher[@]}" >/dev/null
    if ! cmake --build "$1" -j "${JOBS:-2}" >"$work/build.log" 2>&1 ||
       ! (cd "$1" && cpack -G DEB -B "$2") >>"$work/build.log" 2>&1; then
        cat "$work/build.log"
        return 1
    fi
}

build_package "$build/package" "$work/pkg"
deb=$(ls "$work"/pkg/*.deb)

# Lintian's verdict, as a distribution would take it: no error, no warning, and
# every hardening feature in place (those tags are only informational).
lintian_out=$(lintian -E --pedantic -I --fail-on error,warning "$deb" 2>&1) && lintian_ok=1 || lintian_ok=0
check "lintian reports no error or warning" test "$lintian_ok" = 1
check "lintian finds every hardening feature" bash -c '! grep -q "hardening-no-" <<<"$1"' _ "$lintian_out"
[ "$lintian_ok" = 1 ] || echo "$lintian_out"

contents=$(dpkg-deb -c "$deb")
for f in ./usr/games/quorrel ./usr/lib/games/quorrel/quorrel \
         ./usr/share/games/quorrel/Data/resources50x40.bin ./usr/share/games/quorrel/Data/beep.wav \
         ./usr/share/games/quorrel/main-window.png \
         ./usr/share/applications/example.quorrel.Quorrel.desktop \
         ./usr/share/metainfo/example.quorrel.Quorrel.metainfo.xml \
         ./usr/share/icons/hicolor/48x48/apps/quorrel.png ./usr/share/icons/hicolor/128x128/apps/quorrel.png \
         ./usr/share/man/man6/quorrel.6.gz ./usr/share/doc/quorrel/copyright \
         ./usr/share/doc/quorrel/changelog.gz; do
    check "package holds $f" grep -q " $f\$" <<<"$contents"
done
check "package leaves /usr/bin to other programs" bash -c '! grep -q " ./usr/bin/" <<<"$1"' _ "$contents"
depends=$(dpkg-deb -f "$deb" Depends)
check "package depends on libx11-6" grep -q "libx11-6" <<<"$depends"
check "package does not depend on the C++ runtime it links statically" \
    bash -c '! grep -q "libstdc++" <<<"$1"' _ "$depends"
check "package recommends the core fonts" grep -q "xfonts-base" <<<"$(dpkg-deb -f "$deb" Recommends)"

stage="$work/stage"
dpkg-deb -x "$deb" "$stage"
desktop="$stage/usr/share/applications/example.quorrel.Quorrel.desktop"
check "desktop entry validates" desktop-file-validate "$desktop"
check "desktop entry names the window class" grep -qx 'StartupWMClass=Quorrel.exe' "$desktop"
check "desktop entry starts the installed launcher" grep -qx 'Exec=/usr/games/quorrel' "$desktop"
# validate-tree also matches the metadata's launchable and icon with the desktop entry.
check "AppStream metadata validates" \
    bash -c 'appstreamcli validate-tree --no-net "$1" >"$2" 2>&1' _ "$stage" "$work/appstream.out"
grep -q "successful" "$work/appstream.out" || cat "$work/appstream.out"
check "manual page formats without warnings" \
    bash -c "[ -z \"\$(zcat '$stage/usr/share/man/man6/quorrel.6.gz' | groff -man -ww -z 2>&1)\" ]"
check "icons are PNG" bash -c "head -c 8 '$stage/usr/share/icons/hicolor/48x48/apps/quorrel.png' | grep -q PNG"

# The same build installed under another prefix names that prefix in its texts.
other="$work/other"
DESTDIR="$other" cmake --install "$build/package" --prefix /opt/quorrel >/dev/null
check "an install under another prefix starts its own launcher" \
    grep -qx 'Exec=/opt/quorrel/games/quorrel' "$other/opt/quorrel/share/applications/example.quorrel.Quorrel.desktop"
check "an install under another prefix names its data in the manual page" \
    bash -c "zcat '$other/opt/quorrel/share/man/man6/quorrel.6.gz' | grep -q '^\.I /opt/quorrel/share/games/quorrel/Data$'"

# The unpacked launcher, started from / with a fresh HOME, on a private X server.
fifo="$work/displayfd"
mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
xpid=$!
read -r num <"$fifo"
home="$work/home"
mkdir -p "$home"
# env and the launcher both exec, so $! is the game itself.
env -C / -u XDG_DATA_HOME HOME="$home" DISPLAY=":$num" \
    "$stage/usr/games/quorrel" >"$work/game.out" 2>&1 &
game=$!
stored="$home/.local/share/quorrel/Settings/Quorrel.exe/dati/stato"
for _ in $(seq 1 200); do
    [ -s "$stored" ] && break
    sleep 0.05
done
check "launcher stores the game under HOME" test -s "$stored"
check "launcher copied the data" cmp -s "$stage/usr/share/games/quorrel/Data/resources50x40.bin" \
    "$home/.local/share/quorrel/Data/resources50x40.bin"
check "the game keeps its log in the same place" bash -c "[ ! -e /log.txt ] || [ /log.txt -ot '$stored' ]"
kill "$game" 2>/dev/null || true
wait "$game" 2>/dev/null || true
game=

# A newer installed data file replaces the user's copy; an unchanged one is kept.
touch -d '2000-01-01' "$home/.local/share/quorrel/Data/beep.wav"
# The copy is made before the game starts, so a start without a display will do.
env -C / -u DISPLAY HOME="$home" "$stage/usr/games/quorrel" >/dev/null 2>&1 || true
touch -d '2001-01-01' "$work/reference"
check "launcher refreshes older data" test "$home/.local/share/quorrel/Data/beep.wav" -nt "$work/reference"

# Reproducible: the same tree built afresh in another directory gives the same bytes.
rm -rf "$again"
build_package "$again" "$work/pkg-again"
check "a second build gives a byte-identical package" cmp "$deb" "$(ls "$work"/pkg-again/*.deb)"

if [ "$failures" -ne 0 ]; then
    echo "$failures install checks failed"
    exit 1
fi
echo "all install checks passed"
