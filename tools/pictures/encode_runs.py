#!/usr/bin/python3
"""Writes a 24-bit BMP as runs of equal pixels, the form in which Quillora.exe carries its
background picture: the picture's 331 KB of pixels are sky and waves, about 12,000 runs.

    encode_runs.py PICTURE.bmp OUTPUT

The output is the BMP's BITMAPINFOHEADER, unchanged, followed by its rows in the BMP's own order
(bottom-up), each row as runs that never cross into the next row. A run is four bytes: how many
pixels (1 to 255), then the pixel's blue, green and red. The same BMP always gives the same bytes.
"""

import struct
import sys

HEADER = struct.Struct("<IiiHHIIiiII")
MAX_RUN = 255


def runs_of(row):
    """The runs of a row of pixels (3-byte strings), as bytes."""
    out = bytearray()
    at = 0
    while at < len(row):
        count = 1
        while at + count < len(row) and count < MAX_RUN and row[at + count] == row[at]:
            count += 1
        out.append(count)
        out += row[at]
        at += count
    return out


def encode(bmp):
    if bmp[:2] != b"BM":
        raise ValueError("not a BMP file")
    (offset,) = struct.unpack_from("<I", bmp, 10)
    header = HEADER.unpack_from(bmp, 14)
    size, width, height, planes, bits, compression = header[:6]
    if size != HEADER.size or width <= 0 or height <= 0 or planes != 1 or bits != 24 or compression != 0:
        raise ValueError("not a bottom-up, uncompressed 24-bit BMP")
    stride = (width * 3 + 3) // 4 * 4
    if len(bmp) < offset + stride * height:
        raise ValueError("the BMP's pixels are cut short")
    out = bytearray(bmp[14:14 + HEADER.size])
    for y in range(height):
        start = offset + y * stride
        out += runs_of([bmp[start + x * 3:start + x * 3 + 3] for x in range(width)])
    return bytes(out)


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: encode_runs.py PICTURE.bmp OUTPUT")
    with open(sys.argv[1], "rb") as source:
        encoded = encode(source.read())
    with open(sys.argv[2], "wb") as output:
        output.write(encoded)


if __name__ == "__main__":
    main()
