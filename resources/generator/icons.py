"""The two icons: the tray icon (the short name KV in white block letters on blue) and the
application icon (the name in glossy blue letters on a pale-blue square with a bright-blue
frame, above a blue plate), each drawn for every size it is stored at. Also the .ico writer."""

import io
import struct

import numpy as np
from PIL import Image, ImageDraw, ImageFilter

from canvas import rgb
from logo import word_mask_big, word_size

S = 4

# White block letters "KV" on the tray icon; '#' is a letter pixel.
TRAY_LETTERS = [
    "##.##...##.##",
    "##.##...##.##",
    "####....##.##",
    "###.....##.##",
    "###.....##.##",
    "####.....###.",
    "##.##....###.",
    "##.##.....#..",
]


def tray_icon(n=16):
    """n x n RGBA as a uint8 array. Every pixel is set whole, no smoothing: the edges are
    one pixel wide at every size and the letters are the 16-px design's cells, each cell
    widened to whole pixels, so the icon is as crisp at 20 or 24 px as at 16."""
    px = np.zeros((n, n, 4), dtype=np.float64)
    t = np.linspace(0, 1, n)[:, None]
    body = np.stack([np.interp(t, [0, 1], [a, b]) for a, b in zip(rgb("#2A8CFA"), rgb("#0052B8"))], axis=-1)
    px[:, :, :3] = np.broadcast_to(body, (n, n, 3))
    px[:, :, 3] = 255
    edge = rgb("#003A86")
    px[0, :, :3] = px[-1, :, :3] = edge
    px[:, 0, :3] = px[:, -1, :3] = edge
    px[1, 1:-1, :3] = px[1, 1:-1, :3] * 0.6 + 255 * 0.4          # a light top edge
    corner = 1 if n < 32 else 2                                    # rounded corners
    for y in range(corner):
        for x in range(corner - y):
            for cx, cy in ((x, y), (n - 1 - x, y), (x, n - 1 - y), (n - 1 - x, n - 1 - y)):
                px[cy, cx, 3] = 0
    # Cell edges of the 16-px design (columns 2..15, rows 4..12) placed on whole pixels.
    f = n / 16.0
    cols = [round(c * f) for c in range(2, 2 + len(TRAY_LETTERS[0]) + 1)]
    rows = [round(r * f) for r in range(4, 4 + len(TRAY_LETTERS) + 1)]
    for row, line in enumerate(TRAY_LETTERS):
        for col, ch in enumerate(line):
            if ch == "#":
                px[rows[row]:rows[row + 1], cols[col]:cols[col + 1], :3] = 255
    return np.clip(np.rint(px), 0, 255).astype(np.uint8)


def _over(dst, colour, alpha):
    """Source-over of a colour (array (h, w, 3) or (3,)) with coverage alpha onto premultiplied dst."""
    a = alpha[:, :, None]
    dst[:, :, :3] = colour * a + dst[:, :, :3] * (1 - a)
    dst[:, :, 3:] = a + dst[:, :, 3:] * (1 - a)


def _mask(big_img):
    return np.asarray(big_img, dtype=np.float64) / 255.0


def app_icon(n):
    """n x n RGBA as a uint8 array, drawn at four times the size and averaged down."""
    u = n * S / 64.0            # one unit of the 64-px design, in painting pixels
    big = n * S
    dst = np.zeros((big, big, 4), dtype=np.float64)

    def shape(fn):
        img = Image.new("L", (big, big), 0)
        fn(ImageDraw.Draw(img))
        return img

    # The frame on whole pixels, so that it stays crisp at every size.
    frame_w = {16: 1, 20: 1, 24: 1, 32: 2, 48: 3, 64: 3}[n] * S
    radius = max(2 * S, round(7 * u))
    square = shape(lambda d: d.rounded_rectangle([0, 0, big - 1, big - 1], radius=radius, fill=255))
    inner = shape(lambda d: d.rounded_rectangle([frame_w, frame_w, big - 1 - frame_w, big - 1 - frame_w],
                                                radius=max(S, radius - frame_w), fill=255))
    ramp = np.linspace(0, 1, big)[:, None, None]
    frame_colour = rgb("#2B8CFA") * (1 - ramp) + rgb("#0066DD") * ramp
    _over(dst, np.broadcast_to(frame_colour, (big, big, 3)), _mask(square))
    yy = np.linspace(0, 1, big)[:, None, None]
    pale = rgb("#F2F9FD") * (1 - yy) + rgb("#BFDFF1") * yy
    _over(dst, np.broadcast_to(pale, (big, big, 3)), _mask(inner))

    # The name, or its initial where the name would be too small to read.
    text = "Korvalen" if n >= 48 else "K"
    box = {64: (6, 10, 58, 35), 48: (5, 10, 59, 35), 32: (18, 7, 46, 36), 24: (17, 7, 47, 37),
           20: (16, 7, 48, 39), 16: (16, 7, 48, 39)}[n]
    uw, uh = word_size(text)
    bw, bh = (box[2] - box[0]) * u / S, (box[3] - box[1]) * u / S
    scale = min(bw / uw, bh / uh)
    left = box[0] * u / S + (bw - uw * scale) / 2
    top = box[1] * u / S + (bh - uh * scale) / 2
    letters_img = word_mask_big(text, scale, n, n, left, top)
    letters = _mask(letters_img)
    grow = max(1, round(0.7 * S)) if n >= 48 else max(1, round(0.9 * S * n / 32))
    outline = _mask(letters_img.filter(ImageFilter.MaxFilter(2 * grow + 1)))
    glow = _mask(letters_img.filter(ImageFilter.MaxFilter(4 * grow + 1)).filter(ImageFilter.GaussianBlur(grow)))
    if n >= 32:
        _over(dst, rgb("#FFFFFF"), np.clip(glow * 1.5, 0, 1) * 0.9 * _mask(inner))
    _over(dst, rgb("#0B3B75"), outline)
    t = np.clip((np.arange(big)[:, None] / S - top) / (uh * scale), 0, 1)
    fill = np.stack([np.interp(t, [0, 0.46, 0.5, 1], [a, b, c, d]) for a, b, c, d in
                     zip(rgb("#8CCBFA"), rgb("#3E94E8"), rgb("#1C6BCB"), rgb("#3A8BE0"))], axis=-1)
    _over(dst, np.broadcast_to(fill, (big, big, 3)), letters)

    # The blue plate below the name.
    py0, py1 = {64: (41, 54), 48: (41, 54), 32: (41, 54), 24: (42, 55), 20: (42, 56),
                16: (42, 56)}[n]
    # On whole painting pixels: Pillow draws a rounded rectangle at fractional corners
    # differently from one version to the next (Debian 12's 9.4 and 13's 11.1 gave other
    # pixels at 20 and 24 px), and a quarter of an icon pixel shows at no size.
    px0, px1, pt, pb = round(9 * u), round(55 * u), round(py0 * u), round(py1 * u)
    plate = shape(lambda d: d.rounded_rectangle([px0, pt, px1, pb], radius=round(4 * u), fill=255))
    plate_in = shape(lambda d: d.rounded_rectangle([px0 + S, pt + S, px1 - S, pb - S],
                                                   radius=max(1, round(4 * u) - S), fill=255))
    _over(dst, rgb("#1E568F"), _mask(plate))
    rows = np.clip((np.arange(big)[:, None] - py0 * u) / ((py1 - py0) * u), 0, 1)
    pf = np.stack([np.interp(rows, [0, 0.45, 0.5, 1], [a, b, c, d]) for a, b, c, d in
                   zip(rgb("#4A82C0"), rgb("#2D7CCB"), rgb("#2A78C6"), rgb("#6FB0E2"))], axis=-1)
    _over(dst, np.broadcast_to(pf, (big, big, 3)), _mask(plate_in))

    # Average down (premultiplied), then un-premultiply.
    small = dst.reshape(n, S, n, S, 4).mean(axis=(1, 3))
    alpha = small[:, :, 3:]
    colour = np.where(alpha > 0, small[:, :, :3] / np.maximum(alpha, 1e-9), 0)
    out = np.concatenate([colour, alpha * 255.0], axis=-1)
    return np.clip(np.rint(out), 0, 255).astype(np.uint8)


def _dib_entry(rgba):
    """One icon image as Windows stores it: BITMAPINFOHEADER (height doubled), 32-bit BGRA
    rows bottom-up, then the 1-bit AND mask (set where the pixel is fully transparent)."""
    h, w = rgba.shape[:2]
    header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    bgra = rgba[::-1][:, :, [2, 1, 0, 3]].tobytes()
    row_bytes = ((w + 31) // 32) * 4
    mask = bytearray()
    for row in rgba[::-1]:
        bits = bytearray(row_bytes)
        for x in range(w):
            if row[x, 3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + bgra + bytes(mask)


def _png_entry(rgba):
    """One icon image as a PNG file, which Windows takes in an icon since Vista."""
    out = io.BytesIO()
    Image.fromarray(rgba, "RGBA").save(out, format="PNG", optimize=True)
    return out.getvalue()


def write_ico(path, images, png=False):
    """images: list of RGBA uint8 arrays, largest first. png: True (every image) or a list
    of flags (those images) stored as PNG; the others as DIBs. A PNG image costs its
    loader the image decoder."""
    flags = png if isinstance(png, list) else [png] * len(images)
    entries = [_png_entry(img) if p else _dib_entry(img) for img, p in zip(images, flags)]
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for img, data in zip(images, entries):
        w = img.shape[1]
        out += struct.pack("<BBBBHHII", w % 256, img.shape[0] % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for data in entries:
        out += data
    with open(path, "wb") as f:
        f.write(out)
