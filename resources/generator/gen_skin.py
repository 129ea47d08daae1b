#!/usr/bin/python3
"""Redraws every picture and icon of the skin from scratch and writes them where the .rc
takes them from: PNG pictures under skin/, one file per picture and scale, icons under
icons/. Optionally saves a contact sheet of everything at 1:1 and 4x, and one per scale.

    gen_skin.py [--out RESOURCES_DIR] [--sheet PNG]
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile

from PIL import Image

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import canvas  # noqa: E402
import icons  # noqa: E402
import pictures  # noqa: E402
from canvas import to_image  # noqa: E402

# File names under the resources folder, at 100 %; the .rc and the tests use the same
# names. A picture at another scale adds the percentage: skin/background_200.png.
PICTURES = {
    "background": "skin/background.png",
    "caption_status": "skin/caption_status.png",
    "caption_settings": "skin/caption_settings.png",
    "button_plate": "skin/button_plate.png",
    "tabs": "skin/tabs.png",
    "message_background": "skin/message_background.png",
}
# The scales, in percent, that every picture is drawn and stored at (whole multiples of
# 100 %: the drawing works on whole device pixels per design pixel); the program scales
# the nearest larger one down for any other.
SCALES = (100, 200)
TRAY_ICON = "icons/korvalen_tray.ico"
APP_ICON = "icons/korvalen.ico"
# Both icons carry the sizes the shell asks for at 100 % to 200 % (small icons 16 to 32,
# large ones 32 to 48); the application icon also its 64-px design.
ICON_SIZES = (48, 32, 24, 20, 16)
APP_ICON_SIZES = (64,) + ICON_SIZES


def scaled_path(rel, scale):
    if scale == 100:
        return rel
    stem, ext = os.path.splitext(rel)
    return f"{stem}_{scale}{ext}"


def draw_pictures(scale=100):
    """Every picture drawn at scale percent: each dimension exactly scale / 100 times the
    100 % size, every edge, line, word and shape drawn at that resolution."""
    canvas.set_scale(scale // 100)
    try:
        background = pictures.draw_background()
        plate = pictures.draw_button_plate()
        drawn = {
            "background": background,
            "caption_status": pictures.draw_caption_status(background),
            "caption_settings": pictures.draw_caption_settings(background),
            "button_plate": plate,
            "tabs": pictures.draw_tabs(),
            "message_background": pictures.draw_message_background(plate),
        }
    finally:
        canvas.set_scale(1)
    return {name: to_image(c) for name, c in drawn.items()}


def draw_all():
    images = draw_pictures(100)
    tray = [icons.tray_icon(n) for n in ICON_SIZES]
    app = [icons.app_icon(n) for n in APP_ICON_SIZES]
    return images, tray, app


def save_png(image, path, scale):
    """PIL's file (no time stamp; the physical size says the scale), recompressed by
    zopflipng (Debian's zopfli), which keeps the pixels and takes some 5 % off: the
    pictures are most of the executable's size. Both are deterministic."""
    zopflipng = shutil.which("zopflipng")
    if not zopflipng:
        sys.exit("gen_skin: zopflipng is missing (scripts/setup-deps installs the zopfli package)")
    with tempfile.TemporaryDirectory() as scratch:
        plain = os.path.join(scratch, "plain.png")
        image.save(plain, format="PNG", optimize=True, dpi=(96 * scale / 100, 96 * scale / 100))
        subprocess.run([zopflipng, "-y", "--keepchunks=pHYs", plain, path], check=True,
                       stdout=subprocess.DEVNULL)


def contact_sheet(images, tray, app):
    """Every picture and icon at 1:1 (top) and at 4x (below), on a neutral grey."""
    items = [images[k] for k in PICTURES] + [Image.fromarray(t, "RGBA") for t in tray] + \
            [Image.fromarray(a, "RGBA") for a in app]
    gap = 12
    grey = (128, 128, 128, 255)

    def row_layout(imgs, zoom, max_width):
        placed, x, y, row_h = [], gap, 0, 0
        for img in imgs:
            w, h = img.width * zoom, img.height * zoom
            if x + w + gap > max_width and x > gap:
                x, y, row_h = gap, y + row_h + gap, 0
            placed.append((img, zoom, x, y))
            x += w + gap
            row_h = max(row_h, h)
        return placed, y + row_h

    width = max(595 * 4, images["background"].width) + 2 * gap
    one, h1 = row_layout(items, 1, width)
    four, h4 = row_layout(items, 4, width)
    sheet = Image.new("RGBA", (width, gap + h1 + 3 * gap + h4 + gap), grey)
    for img, zoom, x, y in one:
        sheet.alpha_composite(img.convert("RGBA"), (x, gap + y))
    for img, zoom, x, y in four:
        big = img.convert("RGBA").resize((img.width * zoom, img.height * zoom), Image.NEAREST)
        sheet.alpha_composite(big, (x, gap + h1 + 3 * gap + y))
    return sheet.convert("RGB")


def window_preview(images):
    """The two windows as the program composes them (Status tab selected, a sample status
    text in a stand-in font), to judge the pictures together; saved beside the sheet."""
    from PIL import ImageDraw, ImageFont
    bold = ImageFont.truetype(pictures.TAB_FONT, 12)
    panel = images["background"].copy()
    tabs = images["tabs"]
    panel.paste(tabs.crop((2 * 95, 0, 3 * 95, 34)), (14, 52))
    panel.paste(tabs.crop((3 * 95, 0, 4 * 95, 34)), (14, 90))
    panel.paste(images["caption_status"], (160, 8))
    panel.paste(images["button_plate"], (120, 200))
    panel.paste(images["button_plate"], (224, 200))
    d = ImageDraw.Draw(panel)
    d.text((120, 48), "Hypervisor is enabled", font=bold, fill=(0, 0, 0))
    d.text((120, 88), "Korvalen works on all 8 processors.", font=bold, fill=(0, 0, 0))
    d.text((163 - bold.getlength("Enable") / 2, 203), "Enable", font=bold, fill=(255, 255, 255))
    d.text((267 - bold.getlength("Disable") / 2, 203), "Disable", font=bold, fill=(0, 0, 0))
    d.text((566, 12), "X", font=ImageFont.truetype(pictures.TAB_FONT, 17), fill=(0, 0, 0))
    message = images["message_background"].copy()
    d = ImageDraw.Draw(message)
    d.text((28, 69), "Hypervisor can not be enabled. Shutdown all Virtual Machines.", font=bold, fill=(0, 0, 0))
    d.text((247 - bold.getlength("OK") / 2, 125), "OK", font=bold, fill=(0, 0, 0))
    out = Image.new("RGB", (595 + 24, 239 + 154 + 36), (128, 128, 128))
    out.paste(panel, (12, 12))
    out.paste(message, (12, 239 + 24))
    return out


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--out", default=os.path.dirname(here))
    parser.add_argument("--sheet")
    args = parser.parse_args()

    images, tray, app = draw_all()
    scaled_sets = {scale: images if scale == 100 else draw_pictures(scale) for scale in SCALES}
    for scale, scaled in scaled_sets.items():
        for name, rel in PICTURES.items():
            path = os.path.join(args.out, scaled_path(rel, scale))
            os.makedirs(os.path.dirname(path), exist_ok=True)
            save_png(scaled[name], path, scale)
    os.makedirs(os.path.join(args.out, "icons"), exist_ok=True)
    # The tray icon is loaded at start-up: plain images, no decoder, except the 48 px one,
    # which the tray takes only at 300 %. The application icon only the shell shows:
    # compressed.
    icons.write_ico(os.path.join(args.out, TRAY_ICON), tray, png=[n >= 48 for n in ICON_SIZES])
    icons.write_ico(os.path.join(args.out, APP_ICON), app, png=True)
    if args.sheet:
        os.makedirs(os.path.dirname(os.path.abspath(args.sheet)), exist_ok=True)
        contact_sheet(images, tray, app).save(args.sheet, format="PNG")
        for scale in SCALES[1:]:
            contact_sheet(scaled_sets[scale], tray, app).save(
                scaled_path(args.sheet, scale), format="PNG")
        preview = os.path.join(os.path.dirname(os.path.abspath(args.sheet)), "window-preview.png")
        window_preview(images).save(preview, format="PNG")
    return 0


if __name__ == "__main__":
    sys.exit(main())
