#!/bin/sh
# Installs the build tree under a fresh prefix and checks it holds exactly the two programs
# with their desktop entries, icons, AppStream records and copyright files, that these
# validate, and that each entry and record points at what was installed beside it.
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

cat >"$work/expected" <<'LIST'
usr/bin/OstavelSnow
usr/bin/OstavelStage
usr/share/applications/com.example.tovaine.OstavelSnow.desktop
usr/share/applications/com.example.tovaine.OstavelStage.desktop
usr/share/doc/ostavel-snow/copyright
usr/share/doc/ostavel-stage/copyright
usr/share/icons/hicolor/32x32/apps/com.example.tovaine.OstavelSnow.png
usr/share/icons/hicolor/32x32/apps/com.example.tovaine.OstavelStage.png
usr/share/icons/hicolor/scalable/apps/com.example.tovaine.OstavelSnow.svg
usr/share/icons/hicolor/scalable/apps/com.example.tovaine.OstavelStage.svg
usr/share/metainfo/com.example.tovaine.OstavelSnow.metainfo.xml
usr/share/metainfo/com.example.tovaine.OstavelStage.metainfo.xml
LIST
(cd "$root" && find . ! -type d | sed 's|^\./||' | LC_ALL=C sort) >"$work/actual"
diff -u "$work/expected" "$work/actual" || fail "the install tree holds other files"

# desktop-file-validate exits 0 on warnings and hints; any remark at all counts as a fault.
for entry in "$root"/usr/share/applications/*.desktop; do
    remarks=$(desktop-file-validate "$entry" 2>&1) || fail "$remarks"
    [ -z "$remarks" ] || fail "$remarks"
done
# validate-tree also checks that each record's launchable desktop entry is installed;
# --strict fails on anything above a pedantic note.
appstreamcli validate-tree --no-net --strict "$root" >"$work/appstream.log" 2>&1 ||
    { cat "$work/appstream.log"; fail "appstreamcli validate-tree"; }

value() { sed -n "s/^$1=//p" "$2"; }
for entry in "$root"/usr/share/applications/*.desktop; do
    id=$(basename "$entry" .desktop)
    program=$(value Exec "$entry")
    [ -x "$root/usr/bin/$program" ] || fail "$id runs $program, which is not installed"
    icon=$(value Icon "$entry")
    for file in 32x32/apps/$icon.png scalable/apps/$icon.svg; do
        [ -f "$root/usr/share/icons/hicolor/$file" ] || fail "$id: no icon $file"
    done
    [ "$(value Terminal "$entry")" = false ] || fail "$id opens a terminal"
    for key in 'Name' 'Name\[ja\]' 'Comment' 'Comment\[ja\]'; do
        [ -n "$(value "$key" "$entry")" ] || fail "$id has no $key"
    done
    # The release the record announces is the version the program's own record states.
    release=$(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' \
        "$root/usr/share/metainfo/$id.metainfo.xml")
    readelf --notes "$root/usr/bin/$program" | grep -q "\"version\":\"$release\"" ||
        fail "$id announces release $release, $program says otherwise"
done

# Menus show the two editions apart, in English and in Japanese.
for key in 'Name' 'Name\[ja\]'; do
    count=$(cat "$root"/usr/share/applications/*.desktop | sed -n "s/^$key=//p" | sort -u | wc -l)
    [ "$count" -eq 2 ] || fail "both editions have the same $key"
done
echo "install tree: $(wc -l <"$work/actual") files, all valid"
