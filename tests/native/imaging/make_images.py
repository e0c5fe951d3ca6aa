#!/usr/bin/python3
"""Writes the test pictures of the image loader's differential tests into a folder.

Every picture comes with the pixels an independent decoder (Pillow or ImageMagick)
reads from it, premultiplied the way the loader stores them (B, G, R, A; colour times
alpha over 255, rounded). Pictures are encoded by Pillow and ImageMagick where they can
write the wanted variant, and by the small writers below where they cannot (every PNG
colour type, bit depth, filter and interlacing; every BMP depth; classic icon entries).

manifest.txt, one line per picture, tab-separated:
  name  file  wanted_width  wanted_height  image_type  tolerance  expected.bgra  width  height
"""
import io
import os
import random
import struct
import subprocess
import sys
import zlib

from PIL import Image

OUT = sys.argv[1]
rng = random.Random(1234)
manifest = []


def premultiply(rgba_pixels):
    out = bytearray()
    for r, g, b, a in rgba_pixels:
        out += bytes(((b * a + 127) // 255, (g * a + 127) // 255, (r * a + 127) // 255, a))
    return bytes(out)


def add(name, data, expected_rgba, size, image_type, wanted=(256, 256), tolerance=0):
    path = os.path.join(OUT, name)
    with open(path, "wb") as f:
        f.write(data)
    with open(path + ".bgra", "wb") as f:
        f.write(premultiply(expected_rgba))
    manifest.append("\t".join(map(str, (name, name, wanted[0], wanted[1], image_type, tolerance,
                                         name + ".bgra", size[0], size[1]))))


def pil_rgba(data, size=None):
    im = Image.open(io.BytesIO(data))
    if size is not None:
        im.size = size
    im.load()
    return list(im.convert("RGBA").getdata())


def magick_rgba(data, fmt, frame=""):
    raw = subprocess.run(["convert", f"{fmt}:-{frame}", "-depth", "8", "rgba:-"], input=data,
                         stdout=subprocess.PIPE, check=True).stdout
    return [tuple(raw[i:i + 4]) for i in range(0, len(raw), 4)]


def pattern(w, h, alpha=True):
    """Gradients with some noise, every alpha from 0 to 255 present."""
    px = []
    for y in range(h):
        for x in range(w):
            r = (x * 255) // max(1, w - 1)
            g = (y * 255) // max(1, h - 1)
            b = rng.randrange(256)
            a = rng.choice((0, 255, rng.randrange(256))) if alpha else 255
            px.append((r, g, b, a))
    return px


# ---------------------------------------------------------------- PNG, own writer
def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)


ADAM7 = [(0, 0, 8, 8), (4, 0, 8, 8), (0, 4, 4, 8), (2, 0, 4, 4), (0, 2, 2, 4), (1, 0, 2, 2), (0, 1, 1, 2)]


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def filter_row(kind, row, prev, bpp):
    out = bytearray()
    for i, v in enumerate(row):
        left = row[i - bpp] if i >= bpp else 0
        up = prev[i]
        ul = prev[i - bpp] if i >= bpp else 0
        pred = (0, left, up, (left + up) // 2, paeth(left, up, ul))[kind]
        out.append((v - pred) & 0xFF)
    return bytes(out)


def pack_samples(samples, depth):
    if depth == 16:
        return b"".join(struct.pack(">H", s) for s in samples)
    if depth == 8:
        return bytes(samples)
    out, acc, n = bytearray(), 0, 0
    for s in samples:
        acc = (acc << depth) | s
        n += depth
        if n == 8:
            out.append(acc)
            acc, n = 0, 0
    if n:
        out.append(acc << (8 - n))
    return bytes(out)


def encode_png(w, h, colour_type, depth, sample_rows, interlace, plte=None, trns=None, extra_chunks=()):
    """sample_rows[y][x] is a tuple of samples for pixel (x, y)."""
    channels = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}[colour_type]
    bpp = max(1, channels * depth // 8)
    passes = ADAM7 if interlace else [(0, 0, 1, 1)]
    raw, row_index = bytearray(), 0
    for x0, y0, dx, dy in passes:
        xs = list(range(x0, w, dx))
        ys = list(range(y0, h, dy))
        if not xs or not ys:
            continue
        prev = bytes(len(pack_samples([0] * channels * len(xs), depth)))
        for y in ys:
            row = pack_samples([s for x in xs for s in sample_rows[y][x]], depth)
            kind = row_index % 5  # every filter type in turn
            raw += bytes([kind]) + filter_row(kind, row, prev, bpp)
            prev = row
            row_index += 1
    data = b"\x89PNG\r\n\x1a\n"
    data += png_chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, depth, colour_type, 0, 0, interlace))
    for c in extra_chunks:
        data += c
    if plte is not None:
        data += png_chunk(b"PLTE", plte)
    if trns is not None:
        data += png_chunk(b"tRNS", trns)
    compressed = zlib.compress(bytes(raw), 9)
    # Split the data over several IDAT chunks, as large files do.
    for i in range(0, len(compressed), 97):
        data += png_chunk(b"IDAT", compressed[i:i + 97])
    return data + png_chunk(b"IEND", b"")


def own_pngs():
    w, h = 13, 11
    for colour_type, depths in ((0, (1, 2, 4, 8, 16)), (2, (8, 16)), (3, (1, 2, 4, 8)), (4, (8, 16)), (6, (8, 16))):
        for depth in depths:
            for interlace in (0, 1):
                for with_trns in (False, True):
                    if with_trns and colour_type in (4, 6):
                        continue
                    top = (1 << depth) - 1
                    channels = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}[colour_type]
                    plte = trns = None
                    if colour_type == 3:
                        n = min(1 << depth, 200)
                        plte = bytes(rng.randrange(256) for _ in range(3 * n))
                        rows = [[(rng.randrange(n),) for x in range(w)] for y in range(h)]
                        if with_trns:
                            trns = bytes(rng.choice((0, 255, rng.randrange(256))) for _ in range(max(1, n // 2)))
                    else:
                        rows = [[tuple(rng.randrange(top + 1) for _ in range(channels)) for x in range(w)]
                                for y in range(h)]
                        if with_trns:
                            key = rows[1][2]  # a colour that occurs becomes transparent
                            trns = b"".join(struct.pack(">H", s) for s in key)
                    data = encode_png(w, h, colour_type, depth, rows, interlace, plte, trns)
                    name = f"png_c{colour_type}_d{depth}_i{interlace}{'_trns' if with_trns else ''}.png"
                    # ImageMagick narrows 16-bit samples to floor(v / 257); the loader keeps
                    # the high byte, as Pillow and libpng's strip do: at most 1 apart.
                    add(name, data, magick_rgba(data, "png"), (w, h), 10, tolerance=1 if depth == 16 else 0)


def pil_pngs():
    base = Image.new("RGBA", (37, 23))
    base.putdata(pattern(37, 23))
    for mode in ("1", "L", "LA", "RGB", "RGBA", "P"):
        im = base.convert(mode)
        buf = io.BytesIO()
        im.save(buf, "PNG", optimize=True)
        data = buf.getvalue()
        add(f"pil_{mode}.png", data, pil_rgba(data), im.size, 10)
    pal = base.convert("P")
    pal.info["transparency"] = 3
    buf = io.BytesIO()
    pal.save(buf, "PNG", transparency=3)
    add("pil_P_trns.png", buf.getvalue(), pil_rgba(buf.getvalue()), pal.size, 10)
    big = Image.new("RGBA", (300, 200))
    big.putdata(pattern(300, 200))
    buf = io.BytesIO()
    big.save(buf, "PNG")
    add("pil_big_rgba.png", buf.getvalue(), pil_rgba(buf.getvalue()), big.size, 10)
    # An unknown ancillary chunk before the data is skipped.
    rows = [[(x * 20, y * 20, 7) for x in range(9)] for y in range(8)]
    data = encode_png(9, 8, 2, 8, rows, 0, extra_chunks=[png_chunk(b"zzQk", b"whatever")])
    add("png_unknown_ancillary.png", data, magick_rgba(data, "png"), (9, 8), 10)


# ---------------------------------------------------------------- GIF (Pillow)
def gifs():
    base = Image.new("RGB", (29, 17))
    base.putdata([(r, g, b) for r, g, b, _ in pattern(29, 17, alpha=False)])
    pal = base.convert("P", palette=Image.ADAPTIVE, colors=64)
    for interlace in (False, True):
        for transparency in (None, 5):
            buf = io.BytesIO()
            kwargs = {"interlace": interlace}
            if transparency is not None:
                kwargs["transparency"] = transparency
            pal.save(buf, "GIF", **kwargs)
            data = buf.getvalue()
            name = f"gif_i{int(interlace)}_t{transparency is not None:d}.gif"
            add(name, data, pil_rgba(data), pal.size, 9)
    # Capital letters in the signature.
    buf = io.BytesIO()
    pal.save(buf, "GIF", transparency=5)
    data = b"GIF89A" + buf.getvalue()[6:]
    add("gif_upper.gif", data, pil_rgba(buf.getvalue()), pal.size, 9)
    # Animated: the first frame only.
    frames = [pal] + [base.rotate(90 * i).convert("P", palette=Image.ADAPTIVE, colors=32) for i in (1, 2)]
    buf = io.BytesIO()
    frames[0].save(buf, "GIF", save_all=True, append_images=frames[1:], duration=100, loop=0)
    add("gif_animated.gif", buf.getvalue(), pil_rgba(buf.getvalue()), pal.size, 9)
    # Small palette (2 colours: minimum code size 2) and a big one.
    two = base.convert("1").convert("P")
    buf = io.BytesIO()
    two.save(buf, "GIF")
    add("gif_two_colours.gif", buf.getvalue(), pil_rgba(buf.getvalue()), two.size, 9)
    big = Image.new("RGB", (200, 150))
    big.putdata([(r, g, b) for r, g, b, _ in pattern(200, 150, alpha=False)])
    buf = io.BytesIO()
    big.convert("P", palette=Image.ADAPTIVE, colors=256).save(buf, "GIF")
    add("gif_big.gif", buf.getvalue(), pil_rgba(buf.getvalue()), big.size, 9)


# ---------------------------------------------------------------- BMP, own writer
def bmp_palette(n):
    return [(rng.randrange(256), rng.randrange(256), rng.randrange(256)) for _ in range(n)]


def encode_dib_rows(w, h, bit_count, values, top_down):
    """values[y][x]: palette index or packed integer; returns the row bytes."""
    stride = (w * bit_count + 31) // 32 * 4
    out = bytearray()
    order = range(h) if top_down else range(h - 1, -1, -1)
    for y in order:
        if bit_count <= 8:
            row = pack_samples(values[y], bit_count)
        elif bit_count == 16:
            row = b"".join(struct.pack("<H", v) for v in values[y])
        elif bit_count == 24:
            row = b"".join(struct.pack("<I", v)[:3] for v in values[y])
        else:
            row = b"".join(struct.pack("<I", v) for v in values[y])
        out += row + bytes(stride - len(row))
    return bytes(out)


def encode_bmp(w, h, bit_count, values, top_down=False, palette=None, compression=0, masks=None, header=40):
    pal = b"".join(bytes((b, g, r, 0)) for r, g, b in palette) if palette else b""
    info = struct.pack("<IiiHHIIiiII", header, w, -h if top_down else h, 1, bit_count, compression, 0,
                       2835, 2835, len(palette) if palette else 0, 0)
    if header == 40 and masks:
        info += b"".join(struct.pack("<I", m) for m in masks)
    elif header > 40:
        m = list(masks or (0, 0, 0, 0)) + [0] * 4
        info += struct.pack("<IIII", *m[:4]) + bytes(header - 56)
    pixels = encode_dib_rows(w, h, bit_count, values, top_down)
    offset = 14 + len(info) + len(pal)
    return b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset) + info + pal + pixels


def bmps():
    w, h = 19, 7
    for bit_count in (1, 4, 8):
        palette = bmp_palette(1 << bit_count)
        values = [[rng.randrange(1 << bit_count) for x in range(w)] for y in range(h)]
        for top_down in (False, True):
            data = encode_bmp(w, h, bit_count, values, top_down, palette)
            add(f"bmp_{bit_count}_td{int(top_down)}.bmp", data, pil_rgba(data), (w, h), 1)
    rgb = [[(rng.randrange(256), rng.randrange(256), rng.randrange(256)) for x in range(w)] for y in range(h)]
    for top_down in (False, True):
        v24 = [[(r << 16) | (g << 8) | b for r, g, b in row] for row in rgb]
        data = encode_bmp(w, h, 24, v24, top_down)
        add(f"bmp_24_td{int(top_down)}.bmp", data, pil_rgba(data), (w, h), 1)
        v555 = [[((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3) for r, g, b in row] for row in rgb]
        data = encode_bmp(w, h, 16, v555, top_down)
        add(f"bmp_16_555_td{int(top_down)}.bmp", data, magick_rgba(data, "bmp"), (w, h), 1)
        v565 = [[((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3) for r, g, b in row] for row in rgb]
        data = encode_bmp(w, h, 16, v565, top_down, compression=3, masks=(0xF800, 0x07E0, 0x001F))
        add(f"bmp_16_565_td{int(top_down)}.bmp", data, magick_rgba(data, "bmp"), (w, h), 1)
        # 32 bits, fourth byte 0: no alpha.
        data = encode_bmp(w, h, 32, v24, top_down)
        add(f"bmp_32_noalpha_td{int(top_down)}.bmp", data, pil_rgba(data), (w, h), 1)
    # 32 bits with straight alpha in the fourth byte: the loader premultiplies.
    rgba = pattern(w, h)
    grid = [[rgba[y * w + x] for x in range(w)] for y in range(h)]
    v32 = [[(a << 24) | (r << 16) | (g << 8) | b for r, g, b, a in row] for row in grid]
    add("bmp_32_straight.bmp", encode_bmp(w, h, 32, v32), rgba, (w, h), 6)
    # Already premultiplied: kept as it is.
    pm = [(r * a // 255, g * a // 255, b * a // 255, a) for r, g, b, a in rgba]
    pm_grid = [[pm[y * w + x] for x in range(w)] for y in range(h)]
    v32p = [[(a << 24) | (r << 16) | (g << 8) | b for r, g, b, a in row] for row in pm_grid]
    data = encode_bmp(w, h, 32, v32p)
    add_raw("bmp_32_premultiplied.bmp", data, pm, (w, h), 7)
    # Bit fields with an alpha mask in a version 5 header; Pillow reads its alpha.
    data = encode_bmp(w, h, 32, v32, compression=3, masks=(0xFF0000, 0xFF00, 0xFF, 0xFF000000), header=124)
    add("bmp_32_v5_alpha.bmp", data, pil_rgba(data), (w, h), 6)
    # ImageMagick's own BMP writer: 24-bit, palette and 32-bit with alpha.
    src = Image.new("RGBA", (23, 9))
    src.putdata(pattern(23, 9))
    buf = io.BytesIO()
    src.save(buf, "PNG")
    for fmt, args in (("BMP3", ["-alpha", "off"]), ("BMP3", ["-alpha", "off", "-type", "palette"]), ("BMP", [])):
        data = subprocess.run(["convert", "png:-"] + args + [f"{fmt}:-"], input=buf.getvalue(),
                              stdout=subprocess.PIPE, check=True).stdout
        name = f"magick_{fmt}_{'_'.join(a.strip('-') for a in args) or 'alpha'}.bmp"
        kind = 6 if fmt == "BMP" else 1
        add(name, data, magick_rgba(data, "bmp"), (23, 9), kind)


def add_raw(name, data, premultiplied_rgba, size, image_type):
    path = os.path.join(OUT, name)
    with open(path, "wb") as f:
        f.write(data)
    with open(path + ".bgra", "wb") as f:
        f.write(b"".join(bytes((b, g, r, a)) for r, g, b, a in premultiplied_rgba))
    manifest.append("\t".join(map(str, (name, name, 256, 256, image_type, 0, name + ".bgra", size[0], size[1]))))


# ---------------------------------------------------------------- ICO / CUR
def encode_icon_dir(entries, kind=1):
    """entries: list of (width, height, bit_count, data)."""
    out = struct.pack("<HHH", 0, kind, len(entries))
    offset = 6 + 16 * len(entries)
    body = b""
    for w, h, bits, data in entries:
        out += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, bits, len(data), offset + len(body))
        body += data
    return out + body


def classic_entry(w, h, bit_count, rgba):
    """A classic icon entry (DIB with AND mask) and the straight RGBA it shows."""
    palette = None
    shown = []
    if bit_count <= 8:
        palette = bmp_palette(1 << bit_count)
        idx = [[rng.randrange(1 << bit_count) for x in range(w)] for y in range(h)]
        values = idx
        colours = [[palette[i] for i in row] for row in idx]
    else:
        colours = [[rgba[y * w + x][:3] for x in range(w)] for y in range(h)]
        values = [[(r << 16) | (g << 8) | b for r, g, b in row] for row in colours]
        if bit_count == 32:
            values = [[v | (rgba[y * w + x][3] << 24) for x, v in enumerate(row)] for y, row in enumerate(values)]
    mask = [[1 if (x + y) % 3 == 0 else 0 for x in range(w)] for y in range(h)]
    pal = b"".join(bytes((b, g, r, 0)) for r, g, b in palette) if palette else b""
    info = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, bit_count, 0, 0, 0, 0, 0, 0)
    xor = encode_dib_rows(w, h, bit_count, values, False)
    andmask = encode_dib_rows(w, h, 1, mask, False)
    for y in range(h):
        for x in range(w):
            if bit_count == 32:
                r, g, b, a = rgba[y * w + x]
                shown.append((r, g, b, a))
            elif mask[y][x]:
                shown.append((0, 0, 0, 0))
            else:
                shown.append(colours[y][x] + (255,))
    return info + pal + xor + andmask, shown


def icons():
    # Pillow: PNG-compressed entries.
    src = Image.new("RGBA", (64, 64))
    src.putdata(pattern(64, 64))
    buf = io.BytesIO()
    src.save(buf, "ICO", sizes=[(16, 16), (32, 32), (48, 48)])
    data = buf.getvalue()
    for size in (16, 32, 48):
        add(f"pil_ico_{size}.ico", data, pil_rgba(data, (size, size)), (size, size), 11, wanted=(size, size))
    # ImageMagick: classic entries with alpha channel and AND mask.
    png = io.BytesIO()
    src.save(png, "PNG")
    data = subprocess.run(["convert", "png:-", "-define", "icon:auto-resize=16,32", "ico:-"], input=png.getvalue(),
                          stdout=subprocess.PIPE, check=True).stdout
    for size in (16, 32):
        add(f"magick_ico_{size}.ico", data, pil_rgba(data, (size, size)), (size, size), 8, wanted=(size, size))
    # Own writer: classic entries of every depth in one file; each chosen by its size.
    entries, expected = [], {}
    for size, bits in ((8, 1), (12, 4), (16, 8), (20, 24), (24, 32)):
        rgba = pattern(size, size)
        body, shown = classic_entry(size, size, bits, rgba)
        entries.append((size, size, bits, body))
        expected[size] = (bits, shown)
    data = encode_icon_dir(entries)
    for size, (bits, shown) in expected.items():
        add(f"own_ico_{size}_{bits}bit.ico", data, pil_rgba(data, (size, size)), (size, size),
            8 if bits == 32 else 3, wanted=(size, size))
    cursor = encode_icon_dir(entries, kind=2)
    for size, (bits, shown) in expected.items():
        add(f"own_cur_{size}_{bits}bit.cur", cursor, shown, (size, size), 12 if bits == 32 else 5, wanted=(size, size))


own_pngs()
pil_pngs()
gifs()
bmps()
icons()
with open(os.path.join(OUT, "manifest.txt"), "w") as f:
    f.write("\n".join(manifest) + "\n")
