#!/usr/bin/python3
"""Draws Quillora's pictures: the program icon, the hand cursor, the main window's background
and the banner. Run it from anywhere with Debian's Python and Pillow (python3-pil); it rewrites
the files beside it, and the results are committed.

The background is drawn as a JPEG and the banner as a GIF. The program carries them as Windows
decodes them, so that start-up does not wait for a decoder: `make pictures` runs this script and
then decodes both as Windows does (tools/pictures) into BMPs. The program carries the banner's BMP
as it is, and the background as runs of equal pixels that the build makes from its BMP
(tools/pictures/encode_runs.py)."""

import math
import os
import re
import struct

from PIL import Image, ImageDraw, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
FONTS = "/usr/share/fonts/truetype/dejavu"


def web_host():
    with open(os.path.join(HERE, "site.h"), encoding="ascii") as header:
        return re.search(r'QUILLORA_SITE_HOST "([^"]+)"', header.read()).group(1)


# --- icon -----------------------------------------------------------------------------------

def starfish(size):
    """An orange five-armed starfish with a lighter centre, drawn large and scaled down."""
    scale = 8
    big = size * scale
    image = Image.new("RGBA", (big, big), (0, 0, 0, 0))
    draw = ImageDraw.Draw(image)
    centre = big / 2
    outer, inner = big * 0.48, big * 0.22
    points = []
    for i in range(10):
        radius = outer if i % 2 == 0 else inner
        angle = -math.pi / 2 + i * math.pi / 5
        points.append((centre + radius * math.cos(angle), centre + 2 * scale + radius * math.sin(angle)))
    draw.polygon(points, fill=(236, 110, 20, 255), outline=(150, 60, 10, 255))
    # Arms a little plumper than a geometric star.
    for i in range(0, 10, 2):
        x, y = points[i]
        r = big * 0.045
        draw.ellipse((x - r, y - r, x + r, y + r), fill=(236, 110, 20, 255))
    light = big * 0.16
    cy = centre + 2 * scale
    draw.ellipse((centre - light, cy - light, centre + light, cy + light), fill=(255, 190, 110, 255))
    dot = big * 0.05
    draw.ellipse((centre - dot, cy - dot, centre + dot, cy + dot), fill=(255, 230, 180, 255))
    for i in range(0, 10, 2):
        x, y = points[i]
        for t in (0.35, 0.6):
            px, py = centre + (x - centre) * t, cy + (y - cy) * t
            r = big * 0.02
            draw.ellipse((px - r, py - r, px + r, py + r), fill=(255, 170, 80, 255))
    return image.resize((size, size), Image.LANCZOS)


def bmp_entry(image, bits):
    """A BITMAPINFOHEADER image for an .ico/.cur file: colour (XOR) bits and a 1-bit AND mask."""
    width, height = image.size
    opaque = [a >= 128 for a in image.getchannel("A").getdata()]
    if bits == 8:
        rgb = Image.new("RGB", image.size, (0, 0, 0))
        rgb.paste(image, mask=image.getchannel("A"))
        indexed = rgb.quantize(colors=256, method=Image.MEDIANCUT)
        palette = indexed.getpalette()[:768]
        palette += [0] * (768 - len(palette))
        colours = b"".join(struct.pack("<BBBB", palette[i + 2], palette[i + 1], palette[i], 0)
                           for i in range(0, 768, 3))
        pixels = list(indexed.getdata())
        pixels = [p if opaque[i] else 0 for i, p in enumerate(pixels)]
    else:
        colours = struct.pack("<BBBBBBBB", 0, 0, 0, 0, 255, 255, 255, 0)
        grey = list(image.convert("L").getdata())
        pixels = [1 if opaque[i] and grey[i] >= 128 else 0 for i in range(len(grey))]

    def rows(values, bits_per_pixel):
        stride = ((width * bits_per_pixel + 31) // 32) * 4
        out = b""
        for y in range(height - 1, -1, -1):
            row = values[y * width:(y + 1) * width]
            if bits_per_pixel == 8:
                data = bytes(row)
            else:
                data = bytearray((width + 7) // 8)
                for x, v in enumerate(row):
                    if v:
                        data[x // 8] |= 0x80 >> (x % 8)
                data = bytes(data)
            out += data + b"\0" * (stride - len(data))
        return out

    xor = rows(pixels, bits)
    mask = rows([0 if o else 1 for o in opaque], 1)
    header = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, bits, 0, len(xor) + len(mask),
                         0, 0, 256 if bits == 8 else 2, 0)
    return header + colours + xor + mask


def write_icon_file(path, images, kind, bits, hotspot=(0, 0)):
    entries = [bmp_entry(image, bits) for image in images]
    out = struct.pack("<HHH", 0, kind, len(images))
    offset = 6 + 16 * len(images)
    for image, data in zip(images, entries):
        width, height = image.size
        colour_count = 0 if bits == 8 else 2
        if kind == 1:
            planes_or_x, bits_or_y = 1, bits
        else:
            planes_or_x, bits_or_y = hotspot
        out += struct.pack("<BBBBHHII", width % 256, height % 256, colour_count, 0,
                           planes_or_x, bits_or_y, len(data), offset)
        offset += len(data)
    with open(path, "wb") as f:
        f.write(out + b"".join(entries))


# --- hand cursor ----------------------------------------------------------------------------

HAND = [
    "", "",
    "      XX",
    "     X..X",
    "     X..X",
    "     X..X",
    "     X..X",
    "     X..XXX",
    "     X..X..XXX",
    "     X..X..X..XX",
    "     X..X..X..X.X",
    " XXX X..........X",
    "X...XX..........X",
    "X...............X",
    " X..............X",
    "  X.............X",
    "  X............X",
    "   X...........X",
    "   X..........X",
    "    X.........X",
    "    X.........X",
    "    XXXXXXXXXXX",
]


def hand_cursor():
    image = Image.new("RGBA", (32, 32), (0, 0, 0, 0))
    for y, row in enumerate(HAND):
        for x, c in enumerate(row):
            if c == "X":
                image.putpixel((x, y), (0, 0, 0, 255))
            elif c == ".":
                image.putpixel((x, y), (255, 255, 255, 255))
    return image


# --- background -----------------------------------------------------------------------------

def sparkle(draw, x, y, r, colour):
    draw.polygon([(x, y - r), (x + r / 4, y - r / 4), (x + r, y), (x + r / 4, y + r / 4),
                  (x, y + r), (x - r / 4, y + r / 4), (x - r, y), (x - r / 4, y - r / 4)], fill=colour)


def heart(draw, x, y, r, colour):
    draw.ellipse((x - r, y - r / 2, x, y + r / 2), fill=colour)
    draw.ellipse((x, y - r / 2, x + r, y + r / 2), fill=colour)
    draw.polygon([(x - r, y + r / 6), (x + r, y + r / 6), (x, y + r * 1.2)], fill=colour)


def background():
    width, height = 389, 284
    image = Image.new("RGB", (width, height))
    draw = ImageDraw.Draw(image)
    for y in range(height):
        t = y / (height - 1)
        draw.line([(0, y), (width, y)], fill=(int(158 + 62 * t), int(204 + 36 * t), int(244 + 11 * t)))
    for i, x in enumerate(range(14, width, 31)):
        y = 10 + (i * 7) % 22
        if i % 3 == 1:
            heart(draw, x, y, 5, (255, 214, 228))
        else:
            sparkle(draw, x, y, 5 + i % 3, (255, 255, 255))
    for k, base in enumerate((246, 258, 270)):
        points = [(x, base + 3 * math.sin(x / 14 + k)) for x in range(0, width + 1, 2)]
        draw.line(points, fill=(232, 244, 255), width=2)
    return image


# --- banner ---------------------------------------------------------------------------------

def figure(draw, cx, cy, colour):
    draw.ellipse((cx - 11, cy - 11, cx + 11, cy + 11), fill=colour, outline=(90, 60, 40))
    draw.ellipse((cx - 6, cy - 4, cx - 2, cy), fill=(40, 40, 40))
    draw.ellipse((cx + 2, cy - 4, cx + 6, cy), fill=(40, 40, 40))
    draw.arc((cx - 6, cy - 2, cx + 6, cy + 7), 20, 160, fill=(150, 40, 40), width=2)
    draw.line([(cx - 9, cy - 10), (cx - 13, cy - 15)], fill=(90, 60, 40), width=2)
    draw.line([(cx + 9, cy - 10), (cx + 13, cy - 15)], fill=(90, 60, 40), width=2)


def banner():
    width, height = 274, 35
    image = Image.new("RGB", (width, height), (255, 250, 225))
    draw = ImageDraw.Draw(image)
    draw.rectangle((0, 0, width - 1, height - 1), outline=(240, 170, 60))
    figure(draw, 18, 19, (255, 210, 120))
    figure(draw, width - 19, 19, (170, 215, 255))
    title = ImageFont.truetype(os.path.join(FONTS, "DejaVuSans-Bold.ttf"), 15)
    small = ImageFont.truetype(os.path.join(FONTS, "DejaVuSans.ttf"), 9)
    draw.text((38, 2), "Quillora", font=title, fill=(210, 90, 10))
    draw.text((118, 6), "free service tuner", font=small, fill=(60, 90, 140))
    draw.text((38, 21), web_host(), font=small, fill=(30, 60, 160))
    return image.convert("P", palette=Image.ADAPTIVE, colors=64)


def main():
    write_icon_file(os.path.join(HERE, "program.ico"), [starfish(s) for s in (48, 32, 16)], 1, 8)
    write_icon_file(os.path.join(HERE, "hand.cur"), [hand_cursor()], 2, 1, hotspot=(6, 2))
    background().save(os.path.join(HERE, "background.jpg"), quality=90)
    banner().save(os.path.join(HERE, "banner.gif"))


if __name__ == "__main__":
    main()
