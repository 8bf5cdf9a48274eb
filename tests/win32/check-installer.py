#!/usr/bin/python3
# Installs, starts and removes the Windows installers under Wine (WINEPREFIX: a prefix of the
# run's own, on a display), as a user would with msiexec: each puts its program under Program
# Files\Ostavel, its shortcut in the Start menu and its entry in the installed programs; the
# two editions install side by side; a later version replaces an earlier one, which then
# refuses to replace it; the same version installed again repairs it; removing both leaves
# nothing behind. Beside each installer, its zip holds the program and its texts, the
# read-mes in English and Japanese as Notepad reads them; the installer installs the same files.
# usage: check-installer.py PROBE.exe PUBLISHER EDITION... UPGRADE
#   EDITION and UPGRADE: MSI,PROGRAM,VERSION,NAME; UPGRADE is a later version of the first
import codecs, os, re, subprocess, sys, zipfile
from pathlib import Path

probe, publisher, *editions = sys.argv[1:]
editions = [dict(zip(("msi", "program", "version", "name"), e.split(","))) for e in editions]
*editions, upgrade = editions
drive = Path(os.environ["WINEPREFIX"]) / "drive_c"
folder = drive / "Program Files" / "Ostavel"
# All users' Start menu, where Windows puts a per-machine shortcut; Wine puts it in the user's.
menus = [drive / "ProgramData", *drive.glob("users/*/AppData/Roaming")]
UNINSTALL = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall"
PRODUCTS = r"HKLM\Software\Classes\Installer\Products"


def expect(ok, message):
    ok or sys.exit(f"FAIL: {message}")


def wine(*command):
    return subprocess.run(["wine", *command], capture_output=True).returncode


def msiexec(action, edition):
    expect(wine("msiexec", action, edition["msi"], "/qn") == 0,
           f"msiexec {action} {edition['msi']} failed")


def shortcut(edition):
    return [m for m in menus if (m / "Microsoft/Windows/Start Menu/Programs" /
                                 f"{edition['name']}.lnk").is_file()]


def registry(key, name_field, name):
    """The values of each subkey of key whose name_field is name."""
    export = Path(os.environ["WINEPREFIX"]) / "export.reg"
    wine("reg", "export", key, f"Z:{export}", "/y")
    entries, values = [], {}
    for line in (export.read_text(encoding="utf-16") if export.exists() else "").splitlines() + ["["]:
        if line.startswith("["):
            entries += [values] if values.get(name_field) == name else []
            values = {}
        elif m := re.fullmatch(r'"(\w+)"="(.*)"', line):
            values[m[1]] = m[2].replace("\\\\", "\\")
    return entries


def zipped(edition):
    """The files of the zip beside the installer, by name."""
    with zipfile.ZipFile(edition["msi"].replace(".msi", ".zip")) as archive:
        return {name: archive.read(name) for name in archive.namelist()}


def check_installed(edition):
    program = folder / edition["program"] / f"{edition['program']}.exe"
    entries = registry(UNINSTALL, "DisplayName", edition["name"])
    product = (registry(PRODUCTS, "ProductName", edition["name"]) or [{}])[0]
    expect(program.is_file() and shortcut(edition),
           f"{edition['msi']} installed no {program}, or no shortcut {edition['name']}")
    expect({f.name: f.read_bytes() for f in program.parent.iterdir()} == (files := zipped(edition)),
           f"{edition['msi']} installed other files than its zip holds: {sorted(files)}")
    listed = [(e.get("Publisher"), e.get("DisplayVersion")) for e in entries]
    expect(listed == [(publisher, edition["version"])],
           f"{edition['name']} is listed among the installed programs as {entries}")
    expect(product.get("ProductIcon", "").endswith(f"{edition['program']}.exe"),
           f"{edition['name']} is listed with no icon: {product}")
    # The installed program starts and shows its window, and closes cleanly.
    app = subprocess.Popen(["wine", program])
    shown = subprocess.run(["wine", probe], input="window\nclose\n", capture_output=True,
                           text=True, encoding="utf-8").stdout.splitlines()
    expect(shown[:1] == ["Ostavel★ 421 279"] and app.wait(timeout=10) == 0,
           f"the installed {edition['program']} shows {shown}, exits {app.returncode}")


for edition in editions:  # the program, licence and read-mes: UTF-8 with a BOM, CRLF line ends
    files = zipped(edition)
    expect(set(files) == {f"{edition['program']}.exe", "LICENSE.txt", "README.txt", "README.ja.txt"},
           f"the zip of {edition['program']} holds {sorted(files)}")
    for name, text in files.items():
        expect(not name.startswith("README") or text.startswith(codecs.BOM_UTF8)
               and text.count(b"\n") == text.count(b"\r\n"),
               f"{name} of {edition['program']} is not UTF-8 with a BOM and CRLF line ends")
    msiexec("/i", edition)
for edition in editions:  # side by side: each as it should be with the other installed
    check_installed(edition)
msiexec("/i", upgrade)  # a later version of the first replaces it: one entry, the later one
check_installed(upgrade)
# The earlier one, differing in the fourth field alone, which Windows Installer does not compare,
# refuses to come back over it; the later one installed again puts back its missing program.
expect(wine("msiexec", "/i", editions[0]["msi"], "/qn") != 0,
       f"{editions[0]['msi']} installed over the later {upgrade['version']}")
(folder / upgrade["program"] / f"{upgrade['program']}.exe").unlink()
msiexec("/i", upgrade)
check_installed(upgrade)
for edition in (upgrade, *editions[1:]):
    msiexec("/x", edition)
    expect(not ((folder / edition["program"]).exists() or shortcut(edition)
                or registry(UNINSTALL, "DisplayName", edition["name"])),
           f"removing {edition['msi']} left its files, shortcut or entry")
subprocess.run(["wineserver", "-w"])
expect(not folder.exists() and wine("reg", "query", rf"HKLM\Software\{publisher}") != 0,
       f"removing every edition left {folder} or the registry key of {publisher}")
print(f"{len(editions)} editions installed, upgraded, started and removed")
