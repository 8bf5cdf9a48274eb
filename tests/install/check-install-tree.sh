#!/bin/sh
# Installs the build tree under a fresh prefix, as a plain `cmake --install` does, and checks
# that it holds the two programs with their desktop entries, icons, AppStream records and
# manual pages, that the freedesktop validators pass them, and that each entry's icon is there.
# Usage: check-install-tree.sh <cmake> <build dir> <scratch dir>
set -eu
cmake=$1 build=$2
work=$(mktemp -d "$3/install-tree.XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

unset DESTDIR
root="$work/root"
"$cmake" --install "$build" --prefix "$root/usr" >"$work/install.log" ||
    { cat "$work/install.log"; fail "cmake --install failed"; }

(cd "$root" && find . ! -type d | LC_ALL=C sort) >"$work/actual"
for program in OstavelSnow OstavelStage; do
    id=com.example.tovaine.$program
    printf './usr/%s\n' bin/$program share/applications/$id.desktop \
        share/icons/hicolor/32x32/apps/$id.png share/icons/hicolor/scalable/apps/$id.svg \
        share/man/man6/$program.6 share/metainfo/$id.metainfo.xml
done | LC_ALL=C sort | diff -u - "$work/actual" || fail "the install tree holds other files"

# desktop-file-validate exits 0 on warnings and hints; any remark at all counts as a fault.
for entry in "$root"/usr/share/applications/*.desktop; do
    remarks=$(desktop-file-validate "$entry" 2>&1) || fail "$remarks"
    [ -z "$remarks" ] || fail "$remarks"
    icon=$(sed -n 's/^Icon=//p' "$entry")
    ls "$root"/usr/share/icons/hicolor/*/apps/"$icon".* >/dev/null || fail "$entry: no icon $icon"
done
# validate-tree also checks that each record's launchable desktop entry is installed;
# --strict fails on anything above a pedantic note.
appstreamcli validate-tree --no-net --strict "$root" >"$work/appstream.log" 2>&1 ||
    { cat "$work/appstream.log"; fail "appstreamcli validate-tree"; }
echo "install tree: $(wc -l <"$work/actual") files, all valid"
