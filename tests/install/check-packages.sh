#!/bin/sh
# Packs the build tree with cpack into a scratch directory and checks each edition's Debian
# package: its fields, that it holds its own files and none of the other edition's, that
# both unpack into one tree without overwriting each other, and that each packaged program
# names the package and version it is shipped in.
# Usage: check-packages.sh <cpack> <build dir> <scratch dir>
set -eu
cpack=$1 build=$2
work=$(mktemp -d "$3/packages.XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$work" && "$cpack" --config "$build/CPackConfig.cmake" -G DEB -B "$work/out") \
    >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; fail "cpack failed"; }
arch=$(dpkg --print-architecture)

# The files (not directories) of a package, one path a line.
files() { dpkg-deb -c "$1" | awk '$1 !~ /^d/ { print $6 }' | LC_ALL=C sort; }

# check_package <package> <version> <program>
check_package() {
    deb="$work/out/$1_$2_$arch.deb"
    [ -f "$deb" ] || fail "no $1_$2_$arch.deb; cpack made: $(cd "$work/out" && echo *)"
    id="com.example.tovaine.$3"
    cat >"$work/$1.expected" <<LIST
./usr/bin/$3
./usr/share/applications/$id.desktop
./usr/share/doc/$1/copyright
./usr/share/icons/hicolor/32x32/apps/$id.png
./usr/share/icons/hicolor/scalable/apps/$id.svg
./usr/share/metainfo/$id.metainfo.xml
LIST
    files "$deb" >"$work/$1.files"
    diff -u "$work/$1.expected" "$work/$1.files" || fail "$1 holds other files"

    [ "$(dpkg-deb -f "$deb" Package)" = "$1" ] || fail "$deb: wrong Package"
    [ "$(dpkg-deb -f "$deb" Version)" = "$2" ] || fail "$deb: wrong Version"
    [ "$(dpkg-deb -f "$deb" Section)" = games ] || fail "$1 is not in section games"
    for field in Maintainer Description Homepage; do
        [ -n "$(dpkg-deb -f "$deb" $field)" ] || fail "$1 has no $field"
    done
    depends=$(dpkg-deb -f "$deb" Depends)
    echo "$1 Depends: $depends"
    # Every package named in Depends, alternatives included, one a line.
    echo "$depends" | awk -F '[,|]' '{ for (i = 1; i <= NF; i++) print $i }' |
        sed 's/^ *//; s/[ (].*//' >"$work/$1.depends"
    for needed in libqt6widgets6 qt6-qpa-plugins fonts-ipafont-gothic fonts-dejavu-core; do
        grep -qx "$needed" "$work/$1.depends" || fail "$1 does not depend on $needed"
    done

    dpkg-deb -x "$deb" "$work/both"
    readelf --notes "$work/both/usr/bin/$3" | grep -q "\"name\":\"$1\",\"version\":\"$2\"" ||
        fail "the packaged $3 does not say it comes in $1 $2"
}
mkdir "$work/both"
check_package ostavel-snow 1.0.0.10 OstavelSnow
check_package ostavel-stage 1.0.0.11 OstavelStage

# dpkg refuses to install two packages that ship the same file: there must be none, and
# the shared tree they were unpacked into holds every file of both.
shared=$(LC_ALL=C comm -12 "$work/ostavel-snow.files" "$work/ostavel-stage.files")
[ -z "$shared" ] || fail "both packages ship $shared"
unpacked=$(find "$work/both" ! -type d | wc -l)
[ "$unpacked" -eq "$(cat "$work"/*.files | wc -l)" ] || fail "unpacking both lost files"
echo "packages: $(cd "$work/out" && echo *.deb)"
