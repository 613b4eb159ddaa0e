"""Colour themes of the bundled skins.

Every skin is drawn by make_default.py in the same shapes; a theme then
recolours the finished pictures. "Default" keeps the drawing's cyan on blue
charcoal. "Ember" turns the cyan accents to amber and orange and the blue
greys to warm browns, and leaves pure greys alone: the dialogs' field and
list colour (0x282828) and black are the program's own brushes, so they must
stay exactly what the program paints over them. Reds and greens (the close
button, the colour dots) keep their hue, so they read as before.
"""
import colorsys

from PIL import Image

# Hues in degrees: the drawing's accents and greys lie in this band.
_BAND_LOW, _BAND_HIGH = 150.0, 262.0
_ACCENT = 192.0


def _ember(r, g, b):
    h, s, v = colorsys.rgb_to_hsv(r / 255.0, g / 255.0, b / 255.0)
    deg = h * 360.0
    if s == 0.0 or not (_BAND_LOW <= deg <= _BAND_HIGH):
        return r, g, b
    # Cyan (192) becomes amber (34); the bluer greys around 220 become
    # warm browns around 20; saturation rises a little so the warm tones glow.
    new = 34.0 - (deg - _ACCENT) * 0.5
    s = min(1.0, s * 1.08)
    nr, ng, nb = colorsys.hsv_to_rgb((new % 360.0) / 360.0, s, v)
    return int(round(nr * 255)), int(round(ng * 255)), int(round(nb * 255))


THEMES = {"Default": None, "Ember": _ember}


def apply(theme, image):
    """The RGBA picture recoloured by the theme (alpha untouched)."""
    recolour = THEMES[theme]
    if recolour is None:
        return image
    cache = {}
    out = []
    for r, g, b, a in image.getdata():
        key = (r, g, b)
        if key not in cache:
            cache[key] = recolour(r, g, b)
        out.append(cache[key] + (a,))
    result = Image.new("RGBA", image.size)
    result.putdata(out)
    return result
