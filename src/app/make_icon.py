#!/usr/bin/env python3
"""Draws the program's icon (resource 710): a dark gaming mouse with a lit
wheel and a cyan glow line, at every size Windows asks for at 100 % to 200 %
(16, 20, 24, 32, 40, 48, 64) and 256 pixels.

Rebuild with:  /usr/bin/python3 src/app/make_icon.py   (needs Pillow)

With --hicolor DIR it writes the Linux desktop's icons instead, each size
drawn at its own size (never a scaled picture of another):
DIR/<n>x<n>/apps/kovral.png for the sizes of the hicolor theme. The build
of the Linux program runs it.
"""
import os
import sys
from PIL import Image, ImageDraw

HERE = os.path.dirname(os.path.abspath(__file__))
SIZES = [16, 20, 24, 32, 40, 48, 64, 256]
HICOLOR_SIZES = [16, 22, 24, 32, 48, 64, 128, 256]
SCALE = 4  # draw large, then shrink, for clean anti-aliased edges


def draw(size):
    s = size * SCALE
    img = Image.new("RGBA", (s, s), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    u = s / 32.0  # one unit of the 32-pixel design

    # Body: a rounded capsule, dark with a light rim.
    body = [7 * u, 2.5 * u, 25 * u, 29.5 * u]
    d.rounded_rectangle(body, radius=9 * u, fill=(28, 31, 38, 255), outline=(150, 160, 175, 255), width=max(1, int(1.4 * u)))
    # Split between the two buttons.
    d.line([16 * u, 3.5 * u, 16 * u, 13 * u], fill=(150, 160, 175, 255), width=max(1, int(1.1 * u)))
    # Button line across the body.
    d.line([8 * u, 13 * u, 24 * u, 13 * u], fill=(90, 98, 110, 255), width=max(1, int(0.9 * u)))
    # Lit wheel.
    d.rounded_rectangle([14.4 * u, 6 * u, 17.6 * u, 11.5 * u], radius=1.6 * u, fill=(0, 210, 255, 255))
    # Glow stripe along the lower body.
    d.rounded_rectangle([11 * u, 20 * u, 21 * u, 22.4 * u], radius=1.2 * u, fill=(0, 190, 240, 255))
    return img.resize((size, size), Image.LANCZOS)


def write_hicolor(root):
    for n in HICOLOR_SIZES:
        folder = os.path.join(root, f"{n}x{n}", "apps")
        os.makedirs(folder, exist_ok=True)
        # No time or text chunks: the same drawing gives the same bytes.
        draw(n).save(os.path.join(folder, "kovral.png"), format="PNG", optimize=True)


def main():
    if len(sys.argv) == 3 and sys.argv[1] == "--hicolor":
        write_hicolor(sys.argv[2])
        return
    images = [draw(n) for n in SIZES]
    out = os.path.join(HERE, "kovral.ico")
    images[-1].save(out, format="ICO", sizes=[(n, n) for n in SIZES], append_images=images[:-1])
    print(out)


if __name__ == "__main__":
    main()
