"""The skin's pictures: A background, B and C caption strips, D button plate, E tab
pictures, F message window background. Places that components line up with are exact."""

import numpy as np
from PIL import Image, ImageDraw, ImageFilter, ImageFont

from canvas import (blend, blur_mask, coverage, fill_rect, frame, horizontal_gradient, lerp,
                    new_canvas, rgb, rounded_rect_mask, smoothstep, vertical_gradient)
from logo import draw_logo
from photo import draw_photo

FRAME_BLUE = "#0075F3"
CONTENT_BLUE = "#C8E4F1"
FACE_BLUE = "#C7E3F1"
CAPTION_FONT = "/usr/share/fonts/truetype/comfortaa/Comfortaa-Bold.ttf"
TAB_FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"
CAPTION_WIDENING = 1.1

BACKGROUND_SIZE = (595, 239)
CAPTION_ORIGIN = (160, 8)
CAPTION_SIZE = (389, 31)
PLATE_SIZE = (86, 22)
TAB_SIZE = (95, 34)
MESSAGE_SIZE = (493, 154)
MESSAGE_PLATE_ORIGIN = (204, 122)


# --- Picture A -------------------------------------------------------------------------

def _title_strip(c):
    x0, x1, y0, y1 = 3, 591, 3, 42
    w, h = x1 - x0 + 1, y1 - y0 + 1
    strip = horizontal_gradient(w, [(0, "#FBFDFF"), (0.35, "#EEF6FC"), (1, "#B6D8EE")])
    strip = np.broadcast_to(strip, (h, w, 3)).copy()
    shade = vertical_gradient(h, [(0, "#FFFFFF"), (0.55, "#000000"), (1, "#000000")])[:, :, 0:1] / 255.0
    strip = lerp(strip, rgb("#FFFFFF"), shade * 0.35)
    # Fine horizontal hairlines, fading in towards the right.
    xs = np.arange(w)[None, :]
    weight = smoothstep(170, 520, xs) * 0.28
    rows = np.zeros((h, 1))
    rows[1::3] = 1.0
    strip = lerp(strip, rgb("#8DBBDD"), (weight * rows)[:, :, None])
    rows_light = np.zeros((h, 1))
    rows_light[2::3] = 1.0
    strip = lerp(strip, rgb("#FFFFFF"), (weight * rows_light * 0.6)[:, :, None])
    # A bright edge just above the separator line.
    strip[h - 1] = lerp(strip[h - 1], rgb("#FFFFFF"), 0.5)
    c[y0:y1 + 1, x0:x1 + 1] = strip


def _close_face(c):
    """The dark-blue rounded square under btnClose, (560, 12) to (583, 32)."""
    x0, y0, w, h = 560, 12, 24, 21
    region = c[y0:y0 + h, x0:x0 + w]
    outer = rounded_rect_mask(w, h, 5)
    inner = rounded_rect_mask(w, h, 5, inset=1)
    body = vertical_gradient(h, [(0, "#3A72B4"), (0.5, "#1D4F8E"), (1, "#2A64A6")])
    blend(region, outer, "#0C2E5C")
    blend(region, inner, np.broadcast_to(body, (h, w, 3)))
    gloss = coverage(w, h, lambda d, s: d.rounded_rectangle(
        [2 * s, 1.5 * s, (w - 2) * s, 10 * s], radius=4 * s, fill=255))
    fade = vertical_gradient(h, [(0, "#FFFFFF"), (0.5, "#000000"), (1, "#000000")])[:, :, 0] / 255.0
    blend(region, gloss * (0.18 + 0.42 * fade), "#FFFFFF")


def _hatched_circle(c, cx, cy, r, area):
    """A faint circle filled with fine diagonal hatching rising to the right."""
    ax0, ay0, ax1, ay1 = area
    w, h = ax1 - ax0 + 1, ay1 - ay0 + 1
    lx, ly = cx - ax0, cy - ay0

    def disc(d, s):
        d.ellipse([(lx - r) * s, (ly - r) * s, (lx + r) * s, (ly + r) * s], fill=255)

    def ring(d, s):
        d.ellipse([(lx - r) * s, (ly - r) * s, (lx + r) * s, (ly + r) * s], outline=255, width=int(1.1 * s))

    inside = coverage(w, h, disc)
    yy, xx = np.mgrid[0:h, 0:w]
    phase = np.mod(xx + yy, 5.0)
    hatch = np.clip(1.0 - np.abs(phase - 2.0) / 1.0, 0, 1)
    region = c[ay0:ay1 + 1, ax0:ax1 + 1]
    blend(region, inside * 0.06, "#FFFFFF")
    blend(region, inside * hatch * 0.20, "#7DAED3")
    blend(region, coverage(w, h, ring) * 0.30, "#8DB9DA")


def _content(c):
    x0, y0, x1, y1 = 109, 46, 591, 235
    w, h = x1 - x0 + 1, y1 - y0 + 1
    region = c[y0:y1 + 1, x0:x1 + 1]
    region[:] = rgb(CONTENT_BLUE)
    yy, xx = np.mgrid[0:h, 0:w]
    # Faint diagonal bands rising to the right.
    u = (xx + yy) / np.sqrt(2.0)
    band = np.sin(u / 26.0) * 0.6 + np.sin(u / 61.0 + 1.3) * 0.4
    light = np.clip(band, 0, 1)[:, :, None]
    dark = np.clip(-band, 0, 1)[:, :, None]
    region[:] = lerp(region, rgb("#E6F3FA"), light * 0.35)
    region[:] = lerp(region, rgb("#A9CFE6"), dark * 0.22)
    area = (x0, y0, x1, y1)
    for cx, cy, r in ((505, 112, 62), (400, 208, 30), (572, 208, 26), (300, 70, 16),
                      (228, 214, 12), (470, 58, 9)):
        _hatched_circle(c, cx, cy, r, area)
    # A soft darker shade along the right edge.
    edge = np.exp(-(w - 1 - xx) / 16.0)[:, :, None]
    region[:] = lerp(region, rgb("#86B3D4"), edge * 0.35)


def draw_background():
    w, h = BACKGROUND_SIZE
    c = new_canvas(w, h, CONTENT_BLUE)
    _title_strip(c)
    draw_logo(c, (17, 11, 144, 37))
    _close_face(c)
    c[46:236, 3:106] = draw_photo(103, 190)
    _content(c)
    frame(c, 3, FRAME_BLUE)
    fill_rect(c, 0, 43, w - 1, 45, FRAME_BLUE)
    fill_rect(c, 106, 46, 108, h - 1, FRAME_BLUE)
    return c


# --- Pictures B and C --------------------------------------------------------------------

def _caption_word(background, word, box):
    """Adds a caption word in rounded bold letters, with a faint light edge, so that the
    word with its edge fills box = (x0, y0, x1, y1) of the strip and changes nothing else."""
    ox, oy = CAPTION_ORIGIN
    cw, ch = CAPTION_SIZE
    strip = background[oy:oy + ch, ox:ox + cw].copy()
    s = 4
    x0, y0, x1, y1 = box
    # The letters fill the box's height less the 1-px edge above and below; a word is
    # drawn large, cut to its ink and scaled to that height, a little wider than the
    # typeface's own proportions (the caption lettering is broad), never past the box.
    lh = (y1 - y0 - 1) * s
    font = ImageFont.truetype(CAPTION_FONT, 40 * s)
    l, t, r, b = font.getbbox(word)
    ink = Image.new("L", (r - l + 8, b - t + 8), 0)
    ImageDraw.Draw(ink).text((4 - l, 4 - t), word, font=font, fill=255)
    ink = ink.crop(ink.getbbox())
    lw = min((x1 - x0 - 1) * s, round(ink.width * lh / ink.height * CAPTION_WIDENING))
    ink = ink.resize((lw, lh), Image.LANCZOS)
    big = Image.new("L", (cw * s, ch * s), 0)
    big.paste(ink, ((x0 + 1) * s, (y0 + 1) * s))
    letters = np.asarray(big.resize((cw, ch), Image.BOX), dtype=np.float64) / 255.0
    edge = np.asarray(big.filter(ImageFilter.MaxFilter(2 * s - 1)).resize((cw, ch), Image.BOX),
                      dtype=np.float64) / 255.0
    blend(strip, edge * 0.7, "#FFFFFF")
    blend(strip, letters, "#4F8CDB")
    return strip


def draw_caption_status(background):
    return _caption_word(background, "status", (4, 6, 90, 23))


def draw_caption_settings(background):
    return _caption_word(background, "settings", (4, 5, 114, 28))


# --- Picture D ---------------------------------------------------------------------------

def draw_button_plate():
    w, h = PLATE_SIZE
    c = new_canvas(w, h, "#FFFFFF")
    outer = rounded_rect_mask(w, h, 4)
    inner = rounded_rect_mask(w, h, 4, inset=1)
    # The gradient spans the rows inside the outline: #336CAA on the first, #66A7DC on the last.
    inside = vertical_gradient(h - 2, [(0, "#336CAA"), (0.5, "#2D86D6"), (1, "#66A7DC")])
    body = np.concatenate([inside[:1], inside, inside[-1:]])
    body = np.broadcast_to(body, (h, w, 3)).copy()
    body[10] = lerp(body[10], rgb("#1F5E9E"), 0.45)        # the seam
    blend(c, outer, "#1E568F")
    blend(c, inner, body)
    # Straight edges are exactly the outline colour.
    fill_rect(c, 4, 0, w - 5, 0, "#1E568F")
    fill_rect(c, 4, h - 1, w - 5, h - 1, "#1E568F")
    fill_rect(c, 0, 4, 0, h - 5, "#1E568F")
    fill_rect(c, w - 1, 4, w - 1, h - 5, "#1E568F")
    for x, y in ((0, 0), (w - 1, 0), (0, h - 1), (w - 1, h - 1)):
        fill_rect(c, x, y, x, y, "#FFFFFF")
    return c


# --- Pictures E --------------------------------------------------------------------------

def _tab(word, hover, selected):
    w, h = TAB_SIZE
    c = new_canvas(w, h, FACE_BLUE)
    s = 4
    big_font = ImageFont.truetype(TAB_FONT, 16 * s)
    bl, bt, br, bb = big_font.getbbox(word)
    cap_top, cap_bottom = big_font.getbbox("S")[1], big_font.getbbox("S")[3]
    left = (w * s - (br - bl)) / 2 - bl
    top = (h * s - (cap_bottom - cap_top)) / 2 - cap_top
    if hover or selected:
        def glow(d, ss):
            d.ellipse([(w / 2 - 34) * ss, 10 * ss, (w / 2 + 34) * ss, (h - 10) * ss], fill=255)
        g = blur_mask(coverage(w, h, glow), 3.5)
        g = np.clip((g - 0.03) / 0.97, 0, 1)       # nothing of it reaches the borders
        blend(c, np.clip(g * 1.25, 0, 1), "#FFFCDE")
    big = Image.new("L", (w * s, h * s), 0)
    ImageDraw.Draw(big).text((left, top), word, font=big_font, fill=255)
    letters = np.asarray(big.resize((w, h), Image.BOX), dtype=np.float64) / 255.0
    blend(c, letters, "#00539B")
    frame(c, 3, FRAME_BLUE)
    if selected:
        fill_rect(c, w - 3, 3, w - 1, h - 4, FACE_BLUE)
    return c


def draw_tabs():
    """The six tab pictures in image-list order, side by side in one 570 x 34 strip."""
    tabs = [_tab("Status", False, False), _tab("Status", True, False), _tab("Status", True, True),
            _tab("Settings", False, False), _tab("Settings", True, False), _tab("Settings", True, True)]
    return np.concatenate(tabs, axis=1)


# --- Picture F ---------------------------------------------------------------------------

def _arcs(c, rows, seed_rows):
    """Faint concentric arcs, like a dial, near both sides, with thin light curves
    crossing them; drawn only into the given rows (y0, y1 inclusive)."""
    w = c.shape[1]
    y0, y1 = rows
    h = y1 - y0 + 1
    cy = seed_rows - y0

    def dial(d, s):
        for cx in (-30, w + 30):
            for r in (48, 62, 78, 96, 116):
                d.ellipse([(cx - r) * s, (cy - r) * s, (cx + r) * s, (cy + r) * s], outline=255,
                          width=max(1, int(0.9 * s)))

    def curves(d, s):
        pts1 = [((x) * s, (cy + 34 * np.sin(x / 95.0 + 0.6) - 10) * s) for x in range(-10, w + 10, 4)]
        pts2 = [((x) * s, (cy - 30 * np.sin(x / 120.0 + 2.0) + 6) * s) for x in range(-10, w + 10, 4)]
        d.line(pts1, fill=255, width=max(1, int(0.8 * s)))
        d.line(pts2, fill=255, width=max(1, int(0.8 * s)))

    region = c[y0:y1 + 1]
    blend(region, coverage(w, h, dial) * 0.26, "#EAF6FD")
    blend(region, coverage(w, h, curves) * 0.30, "#F4FBFF")


def draw_message_background(plate):
    w, h = MESSAGE_SIZE
    c = new_canvas(w, h, FACE_BLUE)
    c[3:64] = np.broadcast_to(vertical_gradient(61, [(0, "#B1D7EA"), (1, "#75B1D2")]), (61, w, 3))
    c[91:151] = np.broadcast_to(vertical_gradient(60, [(0, "#75B1D2"), (1, "#ADD5E8")]), (60, w, 3))
    _arcs(c, (3, 63), 77)
    _arcs(c, (91, 150), 77)
    # The message band: pale blue, with a soft edge over its first five rows.
    c[64:91] = rgb("#C7E3F1")
    for i in range(5):
        c[64 + i] = lerp(rgb("#75B1D2"), rgb("#C7E3F1"), (i + 1) / 6.0)
    draw_logo(c, (26, 17, 185, 50))
    px, py = MESSAGE_PLATE_ORIGIN
    pw, ph = PLATE_SIZE
    c[py:py + ph, px:px + pw] = plate
    frame(c, 3, FRAME_BLUE)
    return c
