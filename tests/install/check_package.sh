#!/bin/sh
# Builds the package into a scratch folder and checks what it would put on a learner's system:
# its control fields, and exactly the files listed below, owned by root, with the usual modes.
# Usage: check_package.sh BUILD_DIR VERSION SOURCE_DIR
set -eu
build=$1 version=$2 source=$3
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cpack --config "$build/CPackConfig.cmake" -B "$scratch" >/dev/null
deb="$scratch/vornik_${version}_$(dpkg --print-architecture).deb"
# Depends as dpkg-shlibdeps reads it off the program: without it apt installs a program that
# cannot start.
dpkg-deb --field "$deb" Package Version Section Depends >"$scratch/control"
for want in "Package: vornik" "Version: $version" "Section: hamradio" libqt6widgets6 \
    libsqlite3-0 libportaudio2 libpulse0; do
    grep -q "$want" "$scratch/control" || { echo "control lacks $want" && exit 1; }
done
{
    echo "lrwxrwxrwx ./usr/bin/vornik -> ../libexec/vornik/vornik"
    echo "-rwxr-xr-x ./usr/libexec/vornik/vornik"
    for file in libexec/vornik/key22.jpg share/applications/org.vornik.Vornik.desktop \
        share/icons/hicolor/scalable/apps/org.vornik.Vornik.svg share/man/man1/vornik.1.gz \
        share/metainfo/org.vornik.Vornik.metainfo.xml share/doc/vornik/copyright \
        share/doc/vornik/changelog.gz "$source"/assets/library/*; do
        echo "-rw-r--r-- ./usr/${file#"$source"/assets/}" | sed 's|/usr/library/|/usr/share/vornik/library/|'
    done
} | sort >"$scratch/expected"
dpkg-deb --contents "$deb" | awk '!/^d/ && $2 == "root/root" { $2 = $3 = $4 = $5 = ""; print }' |
    tr -s ' ' | sort | diff "$scratch/expected" -
