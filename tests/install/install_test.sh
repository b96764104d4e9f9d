#!/usr/bin/env bash
# Installs the built tree into a temporary DESTDIR and checks what a desktop needs:
# the files in their places, a valid desktop entry, the manual page, a launcher that
# starts the game from any directory and keeps its files under the user's HOME, and
# a Debian package holding all of it.
# Usage: install_test.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d)
xpid=
game=
cleanup() {
    [ -n "$game" ] && kill "$game" 2>/dev/null || true
    [ -n "$xpid" ] && kill "$xpid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
failures=0
check() {  # check DESCRIPTION COMMAND...
    local what=$1; shift
    if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}

stage="$work/stage"
DESTDIR="$stage" cmake --install "$build" --prefix /usr >/dev/null

for f in usr/bin/quorrel usr/lib/quorrel/quorrel \
         usr/share/quorrel/Data/resources50x40.bin usr/share/quorrel/Data/beep.wav \
         usr/share/applications/quorrel.desktop usr/share/man/man6/quorrel.6 \
         usr/share/icons/hicolor/48x48/apps/quorrel.png \
         usr/share/icons/hicolor/128x128/apps/quorrel.png; do
    check "installed $f" test -f "$stage/$f"
done
check "launcher is executable" test -x "$stage/usr/bin/quorrel"
check "desktop entry validates" desktop-file-validate "$stage/usr/share/applications/quorrel.desktop"
check "desktop entry names the window class" grep -qx 'StartupWMClass=Quorrel.exe' "$stage/usr/share/applications/quorrel.desktop"
check "manual page formats without warnings" \
    bash -c "[ -z \"\$(groff -man -ww -z '$stage/usr/share/man/man6/quorrel.6' 2>&1)\" ]"
check "icons are PNG" bash -c "file -b '$stage/usr/share/icons/hicolor/48x48/apps/quorrel.png' | grep -q PNG || head -c 8 '$stage/usr/share/icons/hicolor/48x48/apps/quorrel.png' | grep -q PNG"

# The staged launcher, started from / with a fresh HOME, on a private X server.
fifo="$work/displayfd"
mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
xpid=$!
read -r num <"$fifo"
home="$work/home"
mkdir -p "$home"
# env and the launcher both exec, so $! is the game itself.
env -C / -u XDG_DATA_HOME HOME="$home" DISPLAY=":$num" ASAN_OPTIONS=detect_leaks=0 \
    "$stage/usr/bin/quorrel" >"$work/game.out" 2>&1 &
game=$!
stored="$home/.local/share/quorrel/Settings/Quorrel.exe/dati/stato"
for _ in $(seq 1 200); do
    [ -s "$stored" ] && break
    sleep 0.05
done
check "launcher stores the game under HOME" test -s "$stored"
check "launcher copied the data" cmp -s "$stage/usr/share/quorrel/Data/resources50x40.bin" \
    "$home/.local/share/quorrel/Data/resources50x40.bin"
check "the game keeps its log in the same place" bash -c "[ ! -e /log.txt ] || [ /log.txt -ot '$stored' ]"
kill "$game" 2>/dev/null || true
wait "$game" 2>/dev/null || true
game=

# A newer installed data file replaces the user's copy; an unchanged one is kept.
touch -d '2000-01-01' "$home/.local/share/quorrel/Data/beep.wav"
# The copy is made before the game starts, so a start without a display will do.
env -C / -u DISPLAY HOME="$home" "$stage/usr/bin/quorrel" >/dev/null 2>&1 || true
touch -d '2001-01-01' "$work/reference"
check "launcher refreshes older data" test "$home/.local/share/quorrel/Data/beep.wav" -nt "$work/reference"

# The Debian package holds the same files.
(cd "$build" && cpack -G DEB -B "$work/pkg" >/dev/null)
deb=$(ls "$work"/pkg/*.deb | head -n 1)
contents=$(dpkg-deb -c "$deb")
for f in ./usr/bin/quorrel ./usr/lib/quorrel/quorrel ./usr/share/quorrel/Data/resources50x40.bin \
         ./usr/share/applications/quorrel.desktop ./usr/share/icons/hicolor/48x48/apps/quorrel.png \
         ./usr/share/man/man6/quorrel.6; do
    check "package holds $f" grep -q " $f\$" <<<"$contents"
done
check "package depends on libx11-6" bash -c "dpkg-deb -f '$deb' Depends | grep -q libx11-6"

if [ "$failures" -ne 0 ]; then
    echo "$failures install checks failed"
    exit 1
fi
echo "all install checks passed"
