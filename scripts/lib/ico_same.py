"""Whether two .ico files hold the same icon: the same directory (count, sizes, colour
depth, entry kinds) and, entry by entry, the same pixels. A DIB entry is compared byte for
byte (the generator writes it itself); a PNG entry by its decoded pixels, since the PNG
encoder's bytes for the same pixels may change with the imaging and zlib libraries.
    ico_same.py A B    exit 0 when they agree, 1 with the first difference on stdout"""

import io
import struct
import sys

from PIL import Image

PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"


def entries(path):
    """The header and, per entry, (directory fields without size and offset, kind, data)."""
    with open(path, "rb") as f:
        data = f.read()
    header = struct.unpack_from("<HHH", data, 0)
    out = []
    for i in range(header[2]):
        w, h, colours, reserved, planes, bpp, size, offset = struct.unpack_from(
            "<BBBBHHII", data, 6 + 16 * i)
        body = data[offset:offset + size]
        if len(body) != size:
            raise ValueError(f"{path}: entry {i} runs past the end of the file")
        kind = "png" if body.startswith(PNG_SIGNATURE) else "dib"
        out.append(((w, h, colours, reserved, planes, bpp), kind, body))
    return header, out


def png_pixels(body):
    image = Image.open(io.BytesIO(body))
    return image.mode, image.size, image.convert("RGBA").tobytes()


def difference(a, b):
    """None when A and B hold the same icon, else what differs first."""
    (head_a, ents_a), (head_b, ents_b) = entries(a), entries(b)
    if head_a != head_b:
        return f"headers differ: {head_a} and {head_b}"
    for i, ((dir_a, kind_a, body_a), (dir_b, kind_b, body_b)) in enumerate(zip(ents_a, ents_b)):
        if dir_a != dir_b:
            return f"entry {i}: directory {dir_a} and {dir_b}"
        if kind_a != kind_b:
            return f"entry {i}: stored as {kind_a} and as {kind_b}"
        if kind_a == "dib" and body_a != body_b:
            return f"entry {i}: the bitmaps differ"
        if kind_a == "png" and png_pixels(body_a) != png_pixels(body_b):
            return f"entry {i}: the PNG images' pixels differ"
    return None


if __name__ == "__main__":
    why = difference(sys.argv[1], sys.argv[2])
    if why:
        print(why)
    sys.exit(1 if why else 0)
