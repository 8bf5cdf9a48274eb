#!/usr/bin/python3
# Installs, starts and removes the Windows installers under Wine (WINEPREFIX: a prefix of the
# run's own, on a display), as a user would with msiexec: each puts its program under Program
# Files\Ostavel, its shortcut in the Start menu and its entry in the installed programs; the
# two editions install side by side; a later version replaces an earlier one, which then
# refuses to replace it; the same version installed again repairs it; removing both leaves
# nothing behind. Beside each installer, its zip holds the program and its texts, the
# read-mes in English and Japanese as Notepad reads them; the installer installs the same files.
# Each edition's program carries the version record that tests/expected.json gives: the seven
# strings in their order, in the Japanese Unicode string block (0x0411, code page 1200), the
# numeric versions, no flags, an application for the Win32 API (VOS__WINDOWS32, which a 64-bit
# program carries too), the translation, and the manifest's identity, its version and name.
# usage: check-installer.py PROBE.exe PUBLISHER EDITION... UPGRADE
#   EDITION and UPGRADE: MSI,PROGRAM,VERSION,NAME; UPGRADE is a later version of the first
import codecs, json, os, re, subprocess, sys, zipfile
from pathlib import Path
from xml.etree import ElementTree

import pefile

probe, publisher, *editions = sys.argv[1:]
*editions, upgrade = [dict(zip(("msi", "program", "version", "name"), e.split(",")))
                      for e in editions]
drive = Path(os.environ["WINEPREFIX"]) / "drive_c"
folder = drive / "Program Files" / "Ostavel"
# All users' Start menu, where Windows puts a per-machine shortcut; Wine puts it in the user's.
menus = [drive / "ProgramData", *drive.glob("users/*/AppData/Roaming")]
UNINSTALL = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall"
PRODUCTS = r"HKLM\Software\Classes\Installer\Products"
EXPECTED = json.loads((Path(__file__).resolve().parent.parent / "expected.json").read_text())


def expect(ok, message):
    ok or sys.exit(f"FAIL: {message}")


def wine(*command):
    return subprocess.run(["wine", *command], capture_output=True).returncode


def msiexec(action, edition, refused=False):
    expect((wine("msiexec", action, edition["msi"], "/qn") != 0) == refused,
           f"msiexec {action} {edition['msi']} {'succeeded' if refused else 'failed'}")


def shortcut(edition):
    return [m for m in menus if (m / "Microsoft/Windows/Start Menu/Programs" /
                                 f"{edition['name']}.lnk").is_file()]


def registry(key, name_field, name):
    """The values of each subkey of key whose name_field is name, escaped as the export writes."""
    export = Path(os.environ["WINEPREFIX"]) / "export.reg"
    exported = wine("reg", "export", key, f"Z:{export}", "/y") == 0  # not an earlier export
    text = export.read_text(encoding="utf-16") if exported else ""
    entries = [dict(re.findall(r'^"(\w+)"="(.*)"$', subkey, re.M)) for subkey in text.split("\n[")]
    return [values for values in entries if values.get(name_field) == name]


def check_record(name, program):
    edition, author = EXPECTED["editions"][name], EXPECTED["author"]
    pe = pefile.PE(data=program)
    info = {key: value for entry in pe.FileInfo[0] for key, value in vars(entry).items()}
    fixed = pe.VS_FIXEDFILEINFO[0]
    found = ([(t.LangID.decode(), [(k.decode(), v.decode()) for k, v in t.entries.items()])
              for t in info["StringTable"]], [v for var in info["Var"] for v in var.entry.values()],
             (fixed.FileVersionMS, fixed.FileVersionLS, fixed.ProductVersionMS,
              fixed.ProductVersionLS), (fixed.FileFlags, fixed.FileOS, fixed.FileType))
    manifest = next(t for t in pe.DIRECTORY_ENTRY_RESOURCE.entries if t.id == 24)  # RT_MANIFEST
    where = manifest.directory.entries[0].directory.entries[0].data.struct
    text = pe.get_data(where.OffsetToData, where.Size)
    identity = ElementTree.fromstring(text).find("{*}assemblyIdentity")  # not a dependency's
    found += (identity.get("version"), identity.get("name").rsplit(".", 1)[-1])
    strings = [("CompanyName", author["web"]), ("LegalCopyright", author["name"]),
               ("ProductName", "Ostavel"), ("FileVersion", edition["versionText"]),
               ("ProductVersion", edition["versionText"]), ("InternalName", name),
               ("OriginalFilename", f"{name}.exe")]
    a, b, c, d = (int(part) for part in edition["version"].split("."))
    wanted = ([("041104B0", strings)], ["0x0411 0x04b0"], (a << 16 | b, c << 16 | d) * 2,
              (0, 0x4, 0x1),  # no flags, VOS__WINDOWS32, VFT_APP
              edition["version"], name)
    expect(found == wanted, f"{name}.exe carries the record\n  {found}\nnot\n  {wanted}")


# The zip beside the installer holds the program, licence and read-mes, these UTF-8 with a BOM
# and CRLF line ends; the installer installed the same files, the shortcut and the entry, and the
# program starts.
def check_installed(edition):
    program = folder / edition["program"] / f"{edition['program']}.exe"
    with zipfile.ZipFile(edition["msi"].replace(".msi", ".zip")) as archive:
        files = {name: archive.read(name) for name in archive.namelist()}
    expect(set(files) == {program.name, "LICENSE.txt", "README.txt", "README.ja.txt"},
           f"the zip of {edition['program']} holds {sorted(files)}")
    for name, text in files.items():
        expect(not name.startswith("README") or text.startswith(codecs.BOM_UTF8)
               and text.count(b"\n") == text.count(b"\r\n"),
               f"{name} of {edition['program']} is not UTF-8 with a BOM and CRLF line ends")
    expect({f.name: f.read_bytes() for f in program.parent.glob("*")} == files,
           f"{edition['msi']} installed other files than its zip holds: {sorted(files)}")
    expect(shortcut(edition), f"{edition['msi']} installed no shortcut {edition['name']}")
    entries = registry(UNINSTALL, "DisplayName", edition["name"])
    product = (registry(PRODUCTS, "ProductName", edition["name"]) or [{}])[0]
    listed = [(e.get("Publisher"), e.get("DisplayVersion")) for e in entries]
    expect(listed == [(publisher, edition["version"])],
           f"{edition['name']} is listed among the installed programs as {entries}")
    expect(product.get("ProductIcon", "").endswith(program.name),
           f"{edition['name']} is listed with no icon: {product}")
    # The installed program starts and shows its window, and closes cleanly.
    app = subprocess.Popen(["wine", program])
    shown = subprocess.run(["wine", probe], input="window\nclose\n", capture_output=True,
                           text=True, encoding="utf-8").stdout.splitlines()
    expect(shown[:1] == ["Ostavel★ 421 279"] and app.wait(timeout=10) == 0,
           f"the installed {edition['program']} shows {shown}, exits {app.returncode}")
    return program


for edition in editions:
    msiexec("/i", edition)
    with zipfile.ZipFile(edition["msi"].replace(".msi", ".zip")) as archive:
        check_record(edition["program"], archive.read(f"{edition['program']}.exe"))
for edition in editions:  # side by side: each as it should be with the other installed
    check_installed(edition)
# A later version of the first replaces it, and the earlier one, differing in the fourth field
# alone, which Windows Installer does not compare, refuses to come back over it: one entry, the
# later one. The later one installed again puts back its missing program.
msiexec("/i", upgrade)
msiexec("/i", editions[0], refused=True)
check_installed(upgrade).unlink()
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
