"""The left column of the background: a faded, blue-tinted photograph of a hand above a
computer expansion card, blurred towards the top. Painted in grey levels at a higher
resolution, shaded, then tinted, faded and blurred like an old product shot."""

import math

import numpy as np
from PIL import Image, ImageDraw, ImageFilter

import canvas
from canvas import blur_canvas, lerp, rgb, smoothstep

S = 4  # painting resolution


def _grey(size):
    return Image.new("L", size, 0)


def _capsule(draw, x0, y0, x1, y1, width, fill):
    draw.line([(x0, y0), (x1, y1)], fill=fill, width=int(width))
    r = width / 2
    for x, y in ((x0, y0), (x1, y1)):
        draw.ellipse([x - r, y - r, x + r, y + r], fill=fill)


def _shade(mask_img, base, edge_dark, radius):
    """Grey levels of a rounded object: `base` in the middle, darker by edge_dark towards
    its outline (a blurred copy of its own mask tells how far inside a pixel is)."""
    m = np.asarray(mask_img, dtype=np.float64) / 255.0
    inner = np.asarray(mask_img.filter(ImageFilter.GaussianBlur(radius)), dtype=np.float64) / 255.0
    return m, base - edge_dark * (1.0 - np.clip((inner - 0.5) * 2.0, 0, 1))


def _card(w, h):
    """Grey levels and mask of the expansion card, tilted a little."""
    card = Image.new("L", (w, h), 0)
    cw, ch = 88 * S, 58 * S
    board = Image.new("L", (cw + 24 * S, ch + 30 * S), 0)
    bd = ImageDraw.Draw(board)
    ox, oy = 12 * S, 8 * S
    bd.rectangle([ox, oy, ox + cw, oy + ch], fill=105)                       # the board
    bd.rectangle([ox + 10 * S, oy + ch, ox + cw - 6 * S, oy + ch + 6 * S], fill=105)  # edge tab
    for i in range(24):                                                       # gold fingers
        fx = ox + 12 * S + i * 3 * S
        if fx + 2 * S > ox + cw - 8 * S:
            break
        bd.rectangle([fx, oy + ch + 1 * S, fx + int(1.7 * S), oy + ch + 6 * S], fill=215)
    bd.rectangle([ox - 6 * S, oy - 6 * S, ox - 2 * S, oy + ch + 12 * S], fill=200)   # bracket
    bd.rectangle([ox - 9 * S, oy - 6 * S, ox - 2 * S, oy - 3 * S], fill=215)
    for k in range(5):                                                        # bracket vents
        bd.rectangle([ox - 5 * S, oy + (8 + 9 * k) * S, ox - 3 * S, oy + (13 + 9 * k) * S], fill=150)
    bd.rectangle([ox + 30 * S, oy + 14 * S, ox + 58 * S, oy + 40 * S], fill=45)      # main chip
    bd.rectangle([ox + 32 * S, oy + 16 * S, ox + 56 * S, oy + 38 * S], fill=62)
    for k in range(9):                                                        # heat-sink fins
        bd.line([(ox + 33 * S, oy + (18 + 2.3 * k) * S), (ox + 55 * S, oy + (18 + 2.3 * k) * S)],
                fill=90, width=S)
    for cx, cy in ((ox + 8 * S, oy + 10 * S), (ox + 66 * S, oy + 12 * S), (ox + 66 * S, oy + 30 * S)):
        bd.rectangle([cx, cy, cx + 12 * S, cy + 9 * S], fill=40)               # memory chips
    for k in range(7):                                                        # traces
        y = oy + (44 + 1.6 * k) * S
        bd.line([(ox + 6 * S, y), (ox + 22 * S, y), (ox + 28 * S, y + 4 * S), (ox + 80 * S, y + 4 * S)],
                fill=140, width=max(1, S // 2))
    for k in range(6):
        x = ox + (22 + 1.8 * k) * S
        bd.line([(x, oy + 4 * S), (x, oy + 12 * S)], fill=140, width=max(1, S // 2))
    for cx in range(6):                                                       # capacitors
        x = ox + (8 + cx * 4) * S
        bd.ellipse([x, oy + 26 * S, x + 3 * S, oy + 29 * S], fill=185)
    board = board.rotate(-7, resample=Image.BICUBIC, expand=False, fillcolor=0)
    card.paste(board, (6 * S, 100 * S))
    mask = Image.new("L", (w, h), 0)
    mask.paste(board.point(lambda v: 255 if v > 0 else 0), (6 * S, 100 * S))
    return card, mask


def _hand(w, h):
    """Mask of a right hand coming from the top right, fingers reaching down to the card."""
    mask = Image.new("L", (w, h), 0)
    d = ImageDraw.Draw(mask)
    # Forearm and palm.
    _capsule(d, 120 * S, -30 * S, 74 * S, 38 * S, 40 * S, 255)
    d.ellipse([46 * S, 30 * S, 96 * S, 78 * S], fill=255)
    fingers = []
    # Four fingers, fanned, bent down towards the card; the thumb on the left.
    for (bx, by, mx, my, tx, ty, wd) in (
            (86, 66, 90, 84, 88, 98, 10.5),
            (76, 72, 78, 92, 75, 106, 11),
            (64, 73, 64, 94, 60, 106, 11),
            (53, 70, 50, 87, 45, 98, 10)):
        fingers.append([(bx, by, mx, my, wd), (mx, my, tx, ty, wd * 0.92)])
    thumb = [(56, 58, 42, 72, 12.5), (42, 72, 37, 86, 10.5)]
    return mask, fingers, thumb


def draw_photo(width, height):
    """The photograph, width x height, as a float RGB array."""
    w, h = width * S, height * S
    yy = np.linspace(0, 1, h)[:, None]
    xx = np.linspace(0, 1, w)[None, :]
    grey = 150 - 30 * yy + 18 * np.cos((xx - 0.7) * 3.0)           # soft studio backdrop
    grey = grey + 38 * np.exp(-((xx - 0.2) ** 2 * 5 + (yy - 0.3) ** 2 * 8))    # light from the top left

    card, card_mask = _card(w, h)
    cm = np.asarray(card_mask, dtype=np.float64) / 255.0
    # Shadow of the card on the backdrop, then the card.
    shadow = np.asarray(card_mask.filter(ImageFilter.GaussianBlur(6 * S)), dtype=np.float64) / 255.0
    shadow = np.roll(shadow, (4 * S, 3 * S), axis=(0, 1))
    grey = grey - 45 * shadow
    grey = lerp(grey, np.asarray(card, dtype=np.float64), cm)

    hand_mask, fingers, thumb = _hand(w, h)
    # Shadow of the hand falling on the card.
    hand_all = hand_mask.copy()
    hd = ImageDraw.Draw(hand_all)
    for seg in fingers + [thumb]:
        for x0, y0, x1, y1, wd in seg:
            _capsule(hd, x0 * S, y0 * S, x1 * S, y1 * S, wd * S, 255)
    hs = np.asarray(hand_all.filter(ImageFilter.GaussianBlur(5 * S)), dtype=np.float64) / 255.0
    hs = np.roll(hs, (8 * S, -5 * S), axis=(0, 1))
    grey = grey - 50 * hs

    # Palm and arm, then each finger drawn over it with its own rounded shading.
    m, g = _shade(hand_mask, 228, 95, 7 * S)
    grey = lerp(grey, g, m)
    for seg in [thumb] + fingers[::-1]:
        fm = _grey((w, h))
        fd = ImageDraw.Draw(fm)
        for x0, y0, x1, y1, wd in seg:
            _capsule(fd, x0 * S, y0 * S, x1 * S, y1 * S, wd * S, 255)
        m, g = _shade(fm, 232, 100, 2.5 * S)
        grey = lerp(grey, g, m)
        # A nail near the fingertip.
        x0, y0, x1, y1, wd = seg[-1]
        nl = _grey((w, h))
        nd = ImageDraw.Draw(nl)
        ang = math.atan2(y1 - y0, x1 - x0)
        nx, ny = x1 - math.cos(ang) * wd * 0.35, y1 - math.sin(ang) * wd * 0.35
        nd.ellipse([(nx - wd * 0.28) * S, (ny - wd * 0.3) * S, (nx + wd * 0.28) * S, (ny + wd * 0.3) * S], fill=255)
        nm = np.asarray(nl.filter(ImageFilter.GaussianBlur(S * 0.6)), dtype=np.float64) / 255.0
        grey = lerp(grey, np.full_like(grey, 240.0), nm * 0.7)
    # Knuckle creases.
    crease = _grey((w, h))
    cd = ImageDraw.Draw(crease)
    for seg in fingers:
        x0, y0, x1, y1, wd = seg[0]
        cd.line([((x1 - wd * 0.35) * S, (y1 - 1) * S), ((x1 + wd * 0.35) * S, (y1 + 1) * S)], fill=255, width=S)
    grey = grey - 35 * np.asarray(crease.filter(ImageFilter.GaussianBlur(S * 0.7)), dtype=np.float64) / 255.0

    img = Image.fromarray(np.clip(np.rint(grey), 0, 255).astype(np.uint8), "L")
    img = img.resize((width * canvas.K, height * canvas.K), Image.LANCZOS)
    lum = np.asarray(img, dtype=np.float64) / 255.0

    # Blue tint: grey levels through a dark-blue to pale-blue ramp.
    ramp_t = [0.0, 0.45, 0.8, 1.0]
    ramp = [rgb("#1F4F86"), rgb("#5D98C8"), rgb("#B7D8EE"), rgb("#EEF7FC")]
    out = np.stack([np.interp(lum, ramp_t, [c[k] for c in ramp]) for k in range(3)], axis=-1)
    # Faded towards the panel's pale blue, and blurred more towards the top.
    out = lerp(out, rgb("#C8E4F1"), 0.22)
    soft = blur_canvas(out, 1.4)
    softer = blur_canvas(out, 3.2)
    t = (1.0 - smoothstep(0.0, 0.5, np.linspace(0, 1, height * canvas.K)))[:, None, None]
    out = lerp(out, soft, np.clip(t * 1.8, 0, 1))
    out = lerp(out, softer, t * t)
    out = lerp(out, rgb("#DCEEF8"), (t ** 2) * 0.3)
    return out
