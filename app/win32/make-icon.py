#!/usr/bin/python3
# Packs the program's icon resource: the 32x32 256-colour image as a palette bitmap, as the
# window's icon has always been, and larger sizes as PNG for the shell.
# usage: make-icon.py OUT.ico ICON-32.bmp SIZE.png...
#   ICON-32.bmp: an uncompressed 8-bit palette BMP; each PNG is square.
import struct, sys

out, bitmap, *pngs = sys.argv[1:]
entries = []

dib = open(bitmap, "rb").read()[14:]  # without the file header
size, width, height, planes, bits, compression = struct.unpack_from("<IiiHHI", dib)
if (width, height, bits, compression) != (32, 32, 8, 0):
    sys.exit(f"{bitmap}: not an uncompressed 32x32 8-bit bitmap")
# An icon's bitmap is twice as high: the colour rows, then the transparency mask, all opaque.
mask = bytes(4 * 32)
entries.append((32, 8, dib[:8] + struct.pack("<i", 64) + dib[12:] + mask))

for png in pngs:
    data = open(png, "rb").read()
    side = struct.unpack(">I", data[16:20])[0]
    entries.append((side, 32, data))

offset = 6 + 16 * len(entries)
header = struct.pack("<HHH", 0, 1, len(entries))
directory = b""
for side, depth, data in entries:
    colours = 0  # 256-colour bitmaps say 0, as the format wants for 256 and more
    directory += struct.pack("<BBBBHHII", side % 256, side % 256, colours, 0, 1, depth,
                             len(data), offset)
    offset += len(data)
with open(out, "wb") as f:
    f.write(header + directory + b"".join(data for _, _, data in entries))
