#!/usr/bin/python3
# Reads the version record back from a Windows program and compares it, whole, with what
# tests/expected.json says of its edition: the seven strings in their order, in the Japanese
# Unicode string block (0x0411, code page 1200), the numeric versions, no flags, an
# application for the Win32 API (VOS__WINDOWS32, which a 64-bit program carries too), and the
# translation; and the application manifest's identity, the same version and the program's name.
# usage: check-version-record.py PROGRAM.exe
import json, re, sys
from pathlib import Path

import pefile

program = sys.argv[1]
name = Path(program).stem
expected = json.loads((Path(__file__).resolve().parent.parent / "expected.json").read_text())
edition, author = expected["editions"][name], expected["author"]
pe = pefile.PE(program)
info = {key: value for entry in pe.FileInfo[0] for key, value in vars(entry).items()}
fixed = pe.VS_FIXEDFILEINFO[0]
found = ([(t.LangID.decode(), [(k.decode(), v.decode()) for k, v in t.entries.items()])
          for t in info["StringTable"]], [v for var in info["Var"] for v in var.entry.values()],
         (fixed.FileVersionMS, fixed.FileVersionLS, fixed.ProductVersionMS,
          fixed.ProductVersionLS), (fixed.FileFlags, fixed.FileOS, fixed.FileType))
manifest = next(t for t in pe.DIRECTORY_ENTRY_RESOURCE.entries if t.id == 24)  # RT_MANIFEST
where = manifest.directory.entries[0].directory.entries[0].data.struct
identity = re.search(rb"<assemblyIdentity[^>]*>", pe.get_data(where.OffsetToData, where.Size))[0]
attribute = lambda key: re.search(rb"\s" + key + rb'="([^"]*)"', identity)[1].decode()  # noqa: E731
found += (attribute(b"version"), attribute(b"name").rsplit(".", 1)[-1])
strings = [("CompanyName", author["web"]), ("LegalCopyright", author["name"]),
           ("ProductName", "Ostavel"), ("FileVersion", edition["versionText"]),
           ("ProductVersion", edition["versionText"]), ("InternalName", name),
           ("OriginalFilename", f"{name}.exe")]
a, b, c, d = (int(part) for part in edition["version"].split("."))
wanted = ([("041104B0", strings)], ["0x0411 0x04b0"], (a << 16 | b, c << 16 | d) * 2,
          (0, 0x4, 0x1),  # no flags, VOS__WINDOWS32, VFT_APP
          edition["version"], name)
if found != wanted:
    sys.exit(f"FAIL: {program} carries the record\n  {found}\nnot\n  {wanted}")
print(f"{program}: the version record of {name} {edition['versionText']}")
