#!/bin/sh
# Builds the Debian packages as a packager would, from a copy of the source tree in the scratch
# folder (dpkg-buildpackage writes beside the tree it builds), and lets lintian judge them and
# the freedesktop validators their desktop entries and AppStream data. Then checks that each
# package holds its edition's files, and reads back each packaged program's version record.
# Usage: check-packages.sh <source dir> <scratch dir> <readelf>
set -eu
source=$1 work=$2 readelf=$3
fail() { echo "FAIL: $*" >&2; exit 1; }

rm -rf "$work"
mkdir -p "$work/src" "$work/tmp" "$work/root"
work=$(cd "$work" && pwd)
export TMPDIR="$work/tmp"
# The work tree as it is: the tracked files and the new ones git does not ignore.
git -C "$source" ls-files -z --cached --others --exclude-standard |
    (cd "$source" && tar --null -T - -cf -) | tar -C "$work/src" -xf -
# With Debian's default compiler, as the archive builds, whichever one the caller chose.
(cd "$work/src" && env -u CC -u CXX DEB_BUILD_OPTIONS="nocheck parallel=2" \
    dpkg-buildpackage -us -uc -b) \
    >"$work/build.log" 2>&1 || { tail -n 30 "$work/build.log"; fail "dpkg-buildpackage"; }
# Informational and pedantic tags are shown; errors and warnings fail.
lintian --allow-root --fail-on error,warning --display-info --pedantic "$work"/*.changes ||
    fail "lintian"

# check_package <package> <program> <version> <version text>
check_package() {
    deb=$(echo "$work/$1"_*.deb)
    id=com.example.tovaine.$2
    printf './usr/%s\n' "games/$2" "share/applications/$id.desktop" \
        "share/doc/$1/changelog.gz" "share/doc/$1/copyright" \
        "share/icons/hicolor/32x32/apps/$id.png" "share/icons/hicolor/scalable/apps/$id.svg" \
        "share/man/man6/$2.6.gz" "share/man/ja/man6/$2.6.gz" "share/metainfo/$id.metainfo.xml" |
        LC_ALL=C sort >"$work/$1.expected"
    dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | LC_ALL=C sort |
        diff -u "$work/$1.expected" - || fail "$1 holds other files"
    [ "$(dpkg-deb -f "$deb" Version)" = "$3" ] || fail "$1 is not version $3"
    dpkg-deb -x "$deb" "$work/root"
    # The record's strings in their order, the first three the packaging metadata's own keys.
    record="{\"type\":\"deb\",\"name\":\"$1\",\"version\":\"$3\",\
\"CompanyName\":\"https://tovaine.example.com/\",\"LegalCopyright\":\"Tovaine\",\
\"ProductName\":\"Ostavel\",\"FileVersion\":\"$4\",\"ProductVersion\":\"$4\",\
\"InternalName\":\"$2\",\"OriginalFilename\":\"$2\",\"FileVersionNumber\":\"$3\",\
\"Language\":\"0x0411\",\"CodePage\":1200}"
    notes=$("$readelf" --notes "$work/root/usr/games/$2")
    echo "$notes" | grep -A 3 '^Displaying notes found in: .note.package$' |
        grep -qxF "    Packaging Metadata: $record" ||
        fail "the packaged $2 carries not the record $record but: $notes"
    # Its manual pages render without a warning, and the Japanese one names the program, version
    # and date as the English one does: in its NAME line and its footer.
    for page in man6 ja/man6; do
        LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l \
            "$work/root/usr/share/man/$page/$2.6.gz" 2>"$work/warnings" |
            sed -n "s/^ *\($2\)  *- .*/\1/p; \$p" >"$work/$1.${page%/*}"
        [ ! -s "$work/warnings" ] || fail "$page/$2.6 renders with: $(cat "$work/warnings")"
    done
    grep -q "^Ostavel $3 " "$work/$1.man6" && diff -u "$work/$1.man6" "$work/$1.ja" ||
        fail "the Japanese manual page of $2 names another program, version or date"
    echo "$1 $3: its files, its version record and its manual pages"
}
# Every edition that tests/expected.json names, with its version as numbers and as text.
python3 -c 'import json, sys
for name, e in json.load(open(sys.argv[1]))["editions"].items():
    print(name, e["version"], e["versionText"])' "$source/tests/expected.json" |
    while read -r program version text; do
        check_package "$(echo "$program" | sed 's/^Ostavel/ostavel-/' | tr A-Z a-z)" "$program" \
            "$version" "$text"
    done

# Both packages unpacked into one tree: desktop-file-validate exits 0 on warnings and hints,
# so any remark at all counts as a fault; appstreamcli's --strict fails on anything above a
# pedantic note, and it checks that each record's desktop entry is installed.
for entry in "$work"/root/usr/share/applications/*.desktop; do
    remarks=$(desktop-file-validate "$entry" 2>&1) && [ -z "$remarks" ] || fail "$remarks"
    icon=$(sed -n 's/^Icon=//p' "$entry")
    ls "$work"/root/usr/share/icons/hicolor/*/apps/"$icon".* >/dev/null || fail "no icon $icon"
done
appstreamcli validate-tree --no-net --strict "$work/root" || fail "appstreamcli validate-tree"
