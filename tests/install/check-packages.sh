#!/bin/sh
# Builds the Debian packages as a packager would, from a copy of the source tree in the scratch
# folder (dpkg-buildpackage writes beside the tree it builds), and lets lintian judge them.
# Then checks that each package holds its edition's files and that each packaged program's
# version record names the package and version it ships in, and holds the edition's values.
# Usage: check-packages.sh <source dir> <scratch dir> <cmake> <readelf> <record check>
set -eu
source=$1 work=$2 cmake=$3 readelf=$4 records=$5
fail() { echo "FAIL: $*" >&2; exit 1; }

rm -rf "$work"
mkdir -p "$work/src" "$work/tmp"
work=$(cd "$work" && pwd)
export TMPDIR="$work/tmp"
# The work tree as it is: the tracked files and the new ones git does not ignore.
git -C "$source" ls-files -z --cached --others --exclude-standard |
    (cd "$source" && tar --null -T - -cf -) | tar -C "$work/src" -xf -
(cd "$work/src" && DEB_BUILD_OPTIONS="nocheck parallel=2" dpkg-buildpackage -us -uc -b) \
    >"$work/build.log" 2>&1 || { tail -n 30 "$work/build.log"; fail "dpkg-buildpackage"; }
# Informational and pedantic tags are shown; errors and warnings fail.
lintian --allow-root --fail-on error,warning --display-info --pedantic "$work"/*.changes ||
    fail "lintian"

# check_package <package> <program>
check_package() {
    deb=$(echo "$work/$1"_*.deb)
    id=com.example.tovaine.$2
    printf './usr/%s\n' "games/$2" "share/applications/$id.desktop" \
        "share/doc/$1/changelog.gz" "share/doc/$1/copyright" \
        "share/icons/hicolor/32x32/apps/$id.png" "share/icons/hicolor/scalable/apps/$id.svg" \
        "share/man/man6/$2.6.gz" "share/metainfo/$id.metainfo.xml" |
        LC_ALL=C sort >"$work/$1.expected"
    dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | LC_ALL=C sort |
        diff -u "$work/$1.expected" - || fail "$1 holds other files"
    dpkg-deb -x "$deb" "$work/$1"
    version=$(dpkg-deb -f "$deb" Version)
    "$readelf" --notes "$work/$1/usr/games/$2" |
        grep -q "\"name\":\"$1\",\"version\":\"$version\"" ||
        fail "the packaged $2 does not say it comes in $1 $version"
    echo "$1 $version: $2 and its files, its version record agrees"
}
check_package ostavel-snow OstavelSnow
check_package ostavel-stage OstavelStage
"$cmake" -DREADELF="$readelf" -DSNOW="$work/ostavel-snow/usr/games/OstavelSnow" \
    -DSTAGE="$work/ostavel-stage/usr/games/OstavelStage" -P "$records"
