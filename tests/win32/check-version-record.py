#!/usr/bin/python3
# Reads the version record back from a Windows program and compares it, whole, with the
# edition's values: its seven strings in their order, in the Japanese Unicode string block,
# the numeric versions, no flags, an application for the Win32 API (VOS__WINDOWS32, which a
# 64-bit program carries too), and the translation; and the application manifest's identity,
# the same version and the program's name.
# usage: check-version-record.py PROGRAM.exe RECORD-JSON
import json, re, sys

import pefile

program, record = sys.argv[1], json.loads(sys.argv[2])
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
language, page = int(record["Language"], 16), record["CodePage"]
keys = ("CompanyName", "LegalCopyright", "ProductName", "FileVersion", "ProductVersion",
        "InternalName", "OriginalFilename")
a, b, c, d = (int(part) for part in record["FileVersionNumber"].split("."))
expected = ([(f"{language:04X}{page:04X}", [(key, record[key]) for key in keys])],
            [f"0x{language:04x} 0x{page:04x}"], (a << 16 | b, c << 16 | d) * 2,
            (0, 0x4, 0x1),  # no flags, VOS__WINDOWS32, VFT_APP
            record["FileVersionNumber"], record["InternalName"])
if found != expected:
    sys.exit(f"FAIL: {program} carries the record\n  {found}\nnot\n  {expected}")
print(f"{program}: the version record of {record['InternalName']} {record['FileVersion']}")
