"""Small raster helpers shared by every picture: float RGB canvases, gradients,
antialiased shapes drawn at a higher resolution, and blending.

Pictures are drawn at a scale K (device pixels per design pixel: 1 at 100 %, 2 at 200 %).
Places and sizes are given in design pixels everywhere; canvases, masks and rectangles
come out in device pixels. Gradients are made in design pixels and widened with `up`."""

import numpy as np
from PIL import Image, ImageDraw, ImageFilter

SUPERSAMPLE = 4
K = 1


def set_scale(k):
    """Draw at k device pixels per design pixel from now on (a whole number)."""
    global K
    K = k


def up(a):
    """A design-pixel array (rows, columns, ...) in device pixels: each value K x K times."""
    return a if K == 1 else np.repeat(np.repeat(a, K, axis=0), K, axis=1)


def up_rows(a):
    """Rows of a design-pixel array (e.g. a vertical gradient of shape (h, 1, 3)) K times."""
    return a if K == 1 else np.repeat(a, K, axis=0)


def px(*values):
    """Design-pixel places or sizes in device pixels."""
    return tuple(v * K for v in values) if len(values) > 1 else values[0] * K


def rgb(hex_colour):
    """'#RRGGBB' -> float array [r, g, b]."""
    h = hex_colour.lstrip("#")
    return np.array([int(h[i:i + 2], 16) for i in (0, 2, 4)], dtype=np.float64)


def new_canvas(width, height, colour="#000000"):
    canvas = np.zeros((height * K, width * K, 3), dtype=np.float64)
    canvas[:, :] = rgb(colour)
    return canvas


def to_image(canvas):
    return Image.fromarray(np.clip(np.rint(canvas), 0, 255).astype(np.uint8), "RGB")


def from_image(image):
    return np.asarray(image.convert("RGB"), dtype=np.float64)


def fill_rect(canvas, x0, y0, x1, y1, colour):
    """Fills columns x0..x1 and rows y0..y1, both inclusive, with one exact colour."""
    canvas[y0 * K:(y1 + 1) * K, x0 * K:(x1 + 1) * K] = rgb(colour)


def frame(canvas, thickness, colour):
    h, w = canvas.shape[0] // K, canvas.shape[1] // K
    fill_rect(canvas, 0, 0, w - 1, thickness - 1, colour)
    fill_rect(canvas, 0, h - thickness, w - 1, h - 1, colour)
    fill_rect(canvas, 0, 0, thickness - 1, h - 1, colour)
    fill_rect(canvas, w - thickness, 0, w - 1, h - 1, colour)


def lerp(a, b, t):
    return a + (b - a) * t


def smoothstep(edge0, edge1, x):
    t = np.clip((x - edge0) / (edge1 - edge0), 0.0, 1.0)
    return t * t * (3.0 - 2.0 * t)


def vertical_gradient(height, stops):
    """Colours of `height` rows through (position 0..1, '#colour') stops: shape (h, 1, 3)."""
    pos = np.array([p for p, _ in stops])
    cols = np.array([rgb(c) for _, c in stops])
    t = np.linspace(0.0, 1.0, height) if height > 1 else np.zeros(1)
    out = np.stack([np.interp(t, pos, cols[:, k]) for k in range(3)], axis=-1)
    return out[:, None, :]


def horizontal_gradient(width, stops):
    return vertical_gradient(width, stops).transpose(1, 0, 2)


def blend(canvas, mask, colour, x=0, y=0):
    """Blends colour (hex or an array broadcastable to the region) into the canvas through
    a coverage mask (float 0..1, shape (h, w)) placed with its top-left at (x, y)."""
    h, w = mask.shape
    region = canvas[y:y + h, x:x + w]
    col = rgb(colour) if isinstance(colour, str) else colour
    region[:] = region + (col - region) * mask[:, :, None]


def coverage(width, height, draw_fn, scale=SUPERSAMPLE):
    """Antialiased coverage mask: draw_fn(draw, s) paints white on a black 'L' image
    `scale` times larger than the device pixels (s converts design pixels to its pixels);
    the result is averaged down to device pixels."""
    big = Image.new("L", (width * scale * K, height * scale * K), 0)
    draw_fn(ImageDraw.Draw(big), scale * K)
    return mask_from_big(big, width, height)


def mask_from_big(big, width, height):
    """A large coverage image averaged down to width x height design pixels."""
    small = big.resize((width * K, height * K), Image.BOX)
    return np.asarray(small, dtype=np.float64) / 255.0


def blur_mask(mask, radius):
    img = Image.fromarray(np.clip(np.rint(mask * 255), 0, 255).astype(np.uint8), "L")
    return np.asarray(img.filter(ImageFilter.GaussianBlur(radius * K)), dtype=np.float64) / 255.0


def blur_canvas(canvas, radius):
    return from_image(to_image(canvas).filter(ImageFilter.GaussianBlur(radius * K)))


def rounded_rect_mask(width, height, radius, inset=0.0):
    """Coverage of a rounded rectangle filling width x height, shrunk by `inset` pixels."""
    def draw(d, s):
        d.rounded_rectangle([inset * s, inset * s, (width - inset) * s - 1, (height - inset) * s - 1],
                            radius=max(0.0, radius - inset) * s, fill=255)
    return coverage(width, height, draw)
