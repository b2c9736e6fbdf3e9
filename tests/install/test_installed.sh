#!/bin/sh
# The program installed with prefix /usr into a scratch DESTDIR and started there by a learner,
# first from the menu entry, then twice more. As root it runs as "nobody": root writes through any
# permission, and an installed program's folder is read-only to every learner.
# Usage: test_installed.sh BUILD_DIR SOURCE_DIR WINDOW_SESSION
set -eu
build=$1 source=$2 session=$3
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
DESTDIR=$stage cmake --install "$build" --prefix /usr >/dev/null
program=$stage/usr/libexec/vornik data=$stage/data
mkdir -m 777 "$data" && chmod 755 "$stage" && chmod 555 "$program"
as=""
[ "$(id -u)" != 0 ] || as="setpriv --reuid=nobody --regid=nogroup --clear-groups"
export XDG_DATA_HOME="$data" QT_QPA_PLATFORM=offscreen
fail() { echo "FAIL: $*" && exit 1; }

# Changes of pitch and ratio, then a normal close or "Tamat / End" (with a handler queued behind
# it, which must not run); then a saved text.
for row in ":Text6=710 Text7=3" "queue Command11:Text6=700 Text7=2.8"; do
    ending=${row%%:*} expected=${row#*:}
    rm -rf "$data/vornik"
    $as "$stage/usr/bin/vornik" --library >/dev/null 2>&1 &
    for _ in $(seq 200); do [ -f "$data/vornik/laju.mdb" ] && break || sleep 0.1; done
    kill $! && wait $! || true
    [ "$(ls "$data/vornik/library")" = "$(ls "$source/assets/library")" ] || fail "library"
    [ "$($as "$session" "$program" Command7 Text7=3 $ending)" = "Text6=700 Text7=2.8" ] ||
        fail "the first start did not show the settings made on the menu entry's start"
    [ "$($as "$session" "$program" Command15 Text1=a.txt Command16)" = "$expected" ] ||
        fail "the settings after ending with '$ending' are not $expected"
    [ -f "$data/vornik/a.txt" ] || fail "no saved text beside the settings"
    [ "$(echo $(ls "$program"))" = "key22.jpg vornik" ] || fail "the program folder changed"
done
