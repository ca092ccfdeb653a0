#!/usr/bin/env python3
"""Writes the binary seeds of corpus/reply and corpus/thumbnail_text: a few small, valid inputs.

A reply seed is one byte of options (bit 0: a decrypted picture; bit 1: decoded for a target
size; bit 2: a vector picture's box to draw into; bit 3: a file left writable), the message's
length (two bytes, little-endian), the message (sandbox/Wire.h: Reply, then the type name, step and reason)
and the pixel file (the Frame table, then colour tables and pixels at 64-byte steps).
"""
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
REPLY_MAGIC = 0x4D564441
PICTURE, INFO, FAILED = 1, 2, 3
MONO, INDEXED8, RGB32, GRAYSCALE8 = 1, 3, 4, 24


def reply(kind, width=0, height=0, depth=0, frames=0, loop=0, error=0, type_name=b"", step=b"", reason=b"",
          flags=0):
    header = struct.pack("<IIiiiIiIiIII", REPLY_MAGIC, kind, width, height, depth, flags, loop, frames, error,
                         len(type_name), len(step), len(reason))
    return header + type_name + step + reason


def aligned(n):
    return (n + 63) // 64 * 64


def pixel_file(frames):
    """frames: (width, height, bytes per line, format, delay, colours, pixels) each."""
    table_end = aligned(40 * len(frames))
    table, body, at = b"", b"", table_end
    for width, height, bpl, fmt, delay, colours, pixels in frames:
        colour_at = at
        at = aligned(at + 4 * len(colours))
        pixel_at = at
        at = aligned(at + len(pixels))
        table += struct.pack("<QQiiiiii", pixel_at, colour_at, width, height, bpl, fmt, delay, len(colours))
        body = body.ljust(colour_at - table_end, b"\0") + b"".join(struct.pack("<I", c) for c in colours)
        body = body.ljust(pixel_at - table_end, b"\0") + pixels
    return table.ljust(table_end, b"\0") + body


def seed(options, message, pixels=b""):
    return bytes([options]) + struct.pack("<H", len(message)) + message + pixels


def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def png(texts_before, texts_after=()):
    ihdr = chunk(b"IHDR", struct.pack(">IIBBBBB", 1, 1, 8, 0, 0, 0, 0))
    idat = chunk(b"IDAT", zlib.compress(b"\0\x80"))
    text = lambda pairs: b"".join(chunk(b"tEXt", k + b"\0" + v) for k, v in pairs)
    return b"\x89PNG\r\n\x1a\n" + ihdr + text(texts_before) + idat + text(texts_after) + chunk(b"IEND", b"")


def write(folder, name, data):
    os.makedirs(os.path.join(HERE, "corpus", folder), exist_ok=True)
    with open(os.path.join(HERE, "corpus", folder, name), "wb") as f:
        f.write(data)


rgb = pixel_file([(2, 2, 8, RGB32, 0, [], bytes(range(16)))])
write("reply", "rgb32", seed(0, reply(PICTURE, 2, 2, 24, 1, type_name=b"PNG"), rgb))
indexed = pixel_file([(3, 2, 4, INDEXED8, 0, [0xFF000000, 0xFFFF0000, 0xFF00FF00, 0xFF0000FF] + [0xFF000000] * 252,
                       bytes([0, 1, 2, 0, 3, 2, 1, 0]))])
write("reply", "indexed_decrypted", seed(1, reply(PICTURE, 3, 2, 8, 1, type_name=b"PCX"), indexed))
mono = (8, 2, 4, MONO, 100, [0xFFFFFFFF, 0xFF000000], bytes([0x55, 0, 0, 0, 0xAA, 0, 0, 0]))
write("reply", "animation", seed(0, reply(PICTURE, 8, 2, 1, 2, loop=-1, type_name=b"GIF"), pixel_file([mono, mono])))
grey = pixel_file([(4, 1, 4, GRAYSCALE8, 0, [], bytes([0, 85, 170, 255]))])
write("reply", "grey", seed(0, reply(PICTURE, 4, 1, 8, 1, type_name=b"PGM"), grey))
# Decoded smaller for a target size, and a vector picture drawn 100 x 50 into a 100 x 80 box.
write("reply", "reduced", seed(2, reply(PICTURE, 640, 480, 24, 1, type_name=b"JPEG"), rgb))
drawn = pixel_file([(100, 50, 400, RGB32, 0, [], bytes(400 * 50))])
write("reply", "vector", seed(4, reply(PICTURE, 20, 10, 24, 1, type_name=b"WMF", flags=1), drawn))
write("reply", "info", seed(0, reply(INFO, 640, 480, 24, type_name=b"JPEG")))
write("reply", "failed", seed(0, reply(FAILED, error=5, step=b"decode", reason=b"not a picture")))

uri = (b"Thumb::URI", b"file:///home/me/Pictures/a%20b.png")
write("thumbnail_text", "cache_entry", png([uri, (b"Thumb::MTime", b"1700000000"), (b"Software", b"Mirravelnock")]))
write("thumbnail_text", "text_after_pixels", png([(b"Software", b"x")], [uri]))
