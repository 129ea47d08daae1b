"""The Korvalen word mark: square-cornered technical letters built from bars and
parallelograms, rendered glossy mid-blue with a thin dark-blue outline and a white glow."""

import numpy as np
from PIL import Image, ImageDraw, ImageFilter

import canvas
from canvas import SUPERSAMPLE, blend, mask_from_big, rgb

STROKE = 2.2       # bar thickness, in letter units
CAP = 14.0         # cap height; the baseline is at y = CAP
XTOP = 4.0         # top of the lower-case letters
SPACING = 1.9
CHAMFER = 1.5      # the diagonal cut on outer corners that gives the letters their edge


def _bar(x0, y0, x1, y1):
    return [(x0, y0), (x1, y0), (x1, y1), (x0, y1)]


def _slant(top_x, top_y, bottom_x, bottom_y, width):
    """A stroke with horizontal ends, `width` units wide measured across."""
    return [(top_x, top_y), (top_x + width, top_y), (bottom_x + width, bottom_y), (bottom_x, bottom_y)]


def _box(x0, y0, x1, y1, cut_top_left=True, cut_bottom_right=True):
    c = CHAMFER
    pts = []
    pts += [(x0, y0 + c), (x0 + c, y0)] if cut_top_left else [(x0, y0)]
    pts += [(x1, y0), (x1, y1 - c), (x1 - c, y1)] if cut_bottom_right else [(x1, y0), (x1, y1)]
    pts += [(x0, y1)]
    return pts


def _glyph(ch):
    """(advance, [(polygon, ink)]) for one letter; ink 0 cuts a hole into earlier polygons."""
    s = STROKE
    mid = XTOP + (CAP - XTOP - s) / 2
    if ch == "K":
        w, arm = 9.5, s * 1.45
        return w, [(_bar(0, 0, s, CAP), 1),
                   (_slant(w - arm, 0, s - 0.2, CAP * 0.56, arm), 1),
                   (_slant(s + 1.0, CAP * 0.42, w - arm, CAP, arm), 1)]
    if ch == "o":
        w = 9.0
        return w, [(_box(0, XTOP, w, CAP), 1), (_bar(s, XTOP + s, w - s, CAP - s), 0)]
    if ch == "r":
        w = 6.6
        return w, [(_box(0, XTOP, w, XTOP + s, True, False), 1), (_bar(0, XTOP, s, CAP), 1)]
    if ch == "v":
        w, arm = 9.4, s * 1.3
        half = w / 2
        return w, [(_slant(0, XTOP, half - arm / 2, CAP, arm), 1),
                   (_slant(w - arm, XTOP, half - arm / 2, CAP, arm), 1)]
    if ch == "a":
        w = 9.0
        return w, [(_box(0, XTOP, w, XTOP + s, True, False), 1), (_bar(w - s, XTOP, w, CAP), 1),
                   (_box(0, mid, w, CAP, True, False), 1), (_bar(s, mid + s, w - s, CAP - s), 0)]
    if ch == "l":
        return s, [(_bar(0, 0, s, CAP), 1)]
    if ch == "e":
        w = 9.0
        return w, [(_box(0, XTOP, w, mid + s, True, False), 1), (_bar(s, XTOP + s, w - s, mid), 0),
                   (_box(0, mid, s, CAP, False, False), 1), (_box(0, CAP - s, w, CAP, False, True), 1)]
    if ch == "n":
        w = 9.0
        return w, [(_box(0, XTOP, w, CAP, True, False), 1), (_bar(s, XTOP + s, w - s, CAP + 1), 0)]
    raise ValueError(f"no letter {ch!r} in the word mark")


def word_size(text):
    width = sum(_glyph(ch)[0] for ch in text) + SPACING * (len(text) - 1)
    return width, CAP


def word_mask_big(text, scale, width_px, height_px, left, top):
    """Letter coverage on a canvas SUPERSAMPLE times the device pixels: the word is `scale`
    design px per unit with its top-left at (left, top) in design pixels."""
    s = SUPERSAMPLE * canvas.K
    big = Image.new("L", (width_px * s, height_px * s), 0)
    x = 0.0
    for ch in text:
        adv, parts = _glyph(ch)
        glyph = Image.new("L", big.size, 0)
        d = ImageDraw.Draw(glyph)
        for poly, ink in parts:
            pts = [((left + (x + px) * scale) * s, (top + py * scale) * s) for px, py in poly]
            d.polygon(pts, fill=255 if ink else 0)
        big = Image.fromarray(np.maximum(np.asarray(big), np.asarray(glyph)))
        x += adv + SPACING
    return big


def draw_logo(target, box, text="Korvalen", margin=2.0):
    """Draws the word mark glossy into the target canvas, fitted and centred in box = (x0, y0, x1, y1)
    (inclusive); outline and glow stay within the box."""
    x0, y0, x1, y1 = box
    bw, bh = x1 - x0 + 1, y1 - y0 + 1
    uw, uh = word_size(text)
    scale = min((bw - 2 * margin) / uw, (bh - 2 * margin) / uh)
    left = (bw - uw * scale) / 2
    top = (bh - uh * scale) / 2
    big = word_mask_big(text, scale, bw, bh, left, top)
    k = canvas.K
    s = SUPERSAMPLE * k
    letters = mask_from_big(big, bw, bh)
    outline_big = big.filter(ImageFilter.MaxFilter(2 * round(0.9 * s) + 1))
    outline = mask_from_big(outline_big, bw, bh)
    glow = mask_from_big(big.filter(ImageFilter.MaxFilter(2 * s + 1)).filter(ImageFilter.GaussianBlur(1.2 * s)),
                         bw, bh)
    region = target[y0 * k:(y1 + 1) * k, x0 * k:(x1 + 1) * k]
    blend(region, np.clip(glow * 1.6, 0, 1) * 0.95, "#FFFFFF")
    blend(region, outline, "#0B3B75")
    # Fill: a vertical gradient over the letters' height, with a glossy lighter upper half.
    rows = ((np.arange(bh * k)[:, None] + 0.5) / k - 0.5 - top) / (uh * scale)
    t = np.clip(rows, 0, 1)
    fill = np.stack([np.interp(t, [0, 0.46, 0.5, 1], [c0, c1, c2, c3]) for c0, c1, c2, c3 in
                     zip(rgb("#8CCBFA"), rgb("#3E94E8"), rgb("#1C6BCB"), rgb("#3A8BE0"))], axis=-1)
    fill = np.broadcast_to(fill, (bh * k, bw * k, 3))
    blend(region, letters, fill)
    return letters
