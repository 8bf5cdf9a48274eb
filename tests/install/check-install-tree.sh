#!/bin/sh
# Installs the build tree under a fresh prefix, as a plain `cmake --install` does, and checks
# that it holds the two programs where GNUInstallDirs puts them, with their desktop entries,
# icons, AppStream records and manual pages; the package test checks what these hold.
# Usage: check-install-tree.sh <cmake> <build dir> <scratch dir>
set -eu
cmake=$1 build=$2
work=$(mktemp -d "$3/install-tree.XXXXXX")
trap 'rm -rf "$work"' EXIT
DESTDIR= "$cmake" --install "$build" --prefix "$work/root/usr" >"$work/install.log" ||
    { cat "$work/install.log"; exit 1; }
(cd "$work/root" && find . ! -type d | LC_ALL=C sort) >"$work/actual"
for program in OstavelSnow OstavelStage; do
    id=com.example.tovaine.$program
    printf './usr/%s\n' bin/$program share/applications/$id.desktop \
        share/icons/hicolor/32x32/apps/$id.png share/icons/hicolor/scalable/apps/$id.svg \
        share/man/man6/$program.6 share/man/ja/man6/$program.6 share/metainfo/$id.metainfo.xml
done | LC_ALL=C sort | diff -u - "$work/actual"
