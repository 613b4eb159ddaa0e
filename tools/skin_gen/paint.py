"""Drawing helpers for the skin generator.

Everything is drawn at SCALE times the 1x size and reduced with a box
filter at the end. Shapes whose edges lie on whole pixels therefore stay
crisp, while curves, circles and text get smooth edges. Every primitive
draws into its own transparent layer that is then composited, so colours
with alpha blend over what is beneath instead of replacing it.

The pictures for larger display scales (1.5x, 2x) are reduced from the same
drawing; only the texts are drawn anew at the target size, so their glyphs
are shaped for the pixels they end up on. For that an Art keeps a second
drawing without its texts (made when the first text arrives) and the texts
themselves, and refuses a shape drawn over a text: at larger scales that
shape would end up beneath the text.
"""
import math

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont

SCALE = 4

_FONT_FILES = {
    "book": "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
    "bold": "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf",
    "condensed": "/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed.ttf",
    "condensed-bold": "/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed-Bold.ttf",
}
_font_cache = {}


def font(size, weight="book"):
    key = (size, weight)
    if key not in _font_cache:
        _font_cache[key] = ImageFont.truetype(_FONT_FILES[weight], int(round(size * SCALE)))
    return _font_cache[key]


def rgba(color, alpha=None):
    if len(color) == 4 and alpha is None:
        return tuple(color)
    return (color[0], color[1], color[2], 255 if alpha is None else alpha)


def scaled_length(n, dpi):
    """The length of n 1x pixels at a DPI, rounded as the program rounds
    (MulDiv, halves away from zero), so a picture covers the rectangle the
    program maps its element to."""
    return (n * dpi + 48) // 96


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(len(a)))


def _new_layer(l, t, r, b, margin=0):
    """A transparent layer covering the pixel box (l, t, r, b) plus margin."""
    x0 = int(math.floor(l)) - margin
    y0 = int(math.floor(t)) - margin
    x1 = int(math.ceil(r)) + margin
    y1 = int(math.ceil(b)) + margin
    layer = Image.new("RGBA", ((x1 - x0) * SCALE, (y1 - y0) * SCALE), (0, 0, 0, 0))
    return layer, ImageDraw.Draw(layer), (x0, y0)


def _text_layers(x, y, s, size, color, weight, anchor, spacing):
    """The layers of a text with its anchor at (x, y), each with its origin,
    in whatever pixels x, y, size and spacing are given in."""
    f = font(size, weight)
    if spacing:
        # Letter-spaced: place characters one by one.
        widths = [f.getlength(ch) / SCALE + spacing for ch in s]
        total = sum(widths) - spacing
        start = x - (total / 2 if anchor[0] == "m" else total if anchor[0] == "r" else 0)
        for ch, w in zip(s, widths):
            yield from _text_layers(start, y, ch, size, color, weight, "l" + anchor[1], 0.0)
            start += w
        return
    bbox = f.getbbox(s, anchor=anchor)
    l = x + bbox[0] / SCALE
    t = y + bbox[1] / SCALE
    r = x + bbox[2] / SCALE
    b = y + bbox[3] / SCALE
    layer, d, origin = _new_layer(l, t, r, b, margin=2)
    d.text(((x - origin[0]) * SCALE, (y - origin[1]) * SCALE), s, font=f, fill=rgba(color), anchor=anchor)
    yield layer, origin


def _composite_clipped(dst, part, dx, dy):
    sx0, sy0 = max(0, -dx), max(0, -dy)
    dx, dy = max(0, dx), max(0, dy)
    w = min(part.width - sx0, dst.width - dx)
    h = min(part.height - sy0, dst.height - dy)
    if w > 0 and h > 0:
        dst.alpha_composite(part.crop((sx0, sy0, sx0 + w, sy0 + h)), dest=(dx, dy))


class Art:
    """An RGBA picture of w x h final pixels."""

    def __init__(self, w, h, background=(0, 0, 0, 0)):
        self.w, self.h = w, h
        self.im = Image.new("RGBA", (w * SCALE, h * SCALE), rgba(background))
        self.bare = None  # the drawing without texts, once there are texts
        self.texts = []  # (x, y, s, size, color, weight, anchor, spacing)
        self._text_alpha = []  # (x0, y0, alpha) of each text layer put, at SCALE

    def _ensure_bare(self):
        if self.bare is None:
            self.bare = self.im.copy()

    # -- composition -------------------------------------------------------
    def _layer(self, l, t, r, b, margin=0):
        return _new_layer(l, t, r, b, margin)

    def _crop(self, layer, origin):
        """The part of a layer at origin (1x pixels) that lies in the image,
        and where it goes; alpha_composite needs the layer inside the image."""
        x0, y0 = origin
        sx0 = max(0, -x0 * SCALE)
        sy0 = max(0, -y0 * SCALE)
        dx = max(0, x0 * SCALE)
        dy = max(0, y0 * SCALE)
        w = min(layer.width - sx0, self.im.width - dx)
        h = min(layer.height - sy0, self.im.height - dy)
        if w <= 0 or h <= 0:
            return None, 0, 0
        return layer.crop((sx0, sy0, sx0 + w, sy0 + h)), dx, dy

    def _put(self, layer, origin, is_text=False):
        part, dx, dy = self._crop(layer, origin)
        if part is None:
            return
        if is_text:
            self._ensure_bare()
            self._text_alpha.append((dx, dy, part.getchannel("A")))
        elif self.bare is not None:
            self._check_not_over_text(part, dx, dy)
            self.bare.alpha_composite(part, dest=(dx, dy))
        self.im.alpha_composite(part, dest=(dx, dy))

    def _check_not_over_text(self, part, dx, dy):
        alpha = None
        for tx, ty, talpha in self._text_alpha:
            l, t = max(dx, tx), max(dy, ty)
            r = min(dx + part.width, tx + talpha.width)
            b = min(dy + part.height, ty + talpha.height)
            if l >= r or t >= b:
                continue
            if alpha is None:
                alpha = part.getchannel("A")
            mine = alpha.crop((l - dx, t - dy, r - dx, b - dy))
            theirs = talpha.crop((l - tx, t - ty, r - tx, b - ty))
            if ImageChops.multiply(mine, theirs).getbbox() is not None:
                raise ValueError("a shape is drawn over a text at (%g, %g): draw the text last"
                                 % (l / SCALE, t / SCALE))

    def paste_art(self, other, x, y):
        """Composites another Art (same scale) with its top-left at (x, y)."""
        if not other.texts:
            self._put(other.im, (x, y))
            return
        # The finished picture joins this one; its text-free drawing joins
        # the text-free drawing, and its texts the texts, moved by (x, y).
        self._ensure_bare()
        part, dx, dy = self._crop(other.bare, (x, y))
        if part is not None:
            self._check_not_over_text(part, dx, dy)
            self.bare.alpha_composite(part, dest=(dx, dy))
        part, dx, dy = self._crop(other.im, (x, y))
        if part is not None:
            self.im.alpha_composite(part, dest=(dx, dy))
        for tx, ty, talpha in other._text_alpha:
            self._text_alpha.append((tx + x * SCALE, ty + y * SCALE, talpha))
        for (tx, ty, *rest) in other.texts:
            self.texts.append((tx + x, ty + y, *rest))

    # -- shapes ------------------------------------------------------------
    @staticmethod
    def _box(l, t, r, b, origin):
        x0, y0 = origin
        return [
            (l - x0) * SCALE,
            (t - y0) * SCALE,
            (r - x0) * SCALE - 1,
            (b - y0) * SCALE - 1,
        ]

    def rect(self, l, t, r, b, fill=None, outline=None, width=1, radius=0):
        """Fills and/or outlines the pixel rectangle [l, r) x [t, b)."""
        layer, d, origin = self._layer(l, t, r, b)
        box = self._box(l, t, r, b, origin)
        rad = radius * SCALE
        if fill is not None:
            d.rounded_rectangle(box, rad, fill=rgba(fill))
        if outline is not None:
            d.rounded_rectangle(box, rad, outline=rgba(outline), width=int(round(width * SCALE)))
        self._put(layer, origin)

    def gradient(self, l, t, r, b, top, bottom, radius=0, horizontal=False, stops=None):
        """A rectangle filled with a linear gradient (vertical by default)."""
        layer, d, origin = self._layer(l, t, r, b)
        box = self._box(l, t, r, b, origin)
        gw = box[2] - box[0] + 1
        gh = box[3] - box[1] + 1
        grad = Image.new("RGBA", (gw, gh))
        gd = ImageDraw.Draw(grad)
        stops = stops or [(0.0, rgba(top)), (1.0, rgba(bottom))]
        n = gw if horizontal else gh
        for i in range(n):
            t_ = i / max(1, n - 1)
            for k in range(len(stops) - 1):
                if stops[k][0] <= t_ <= stops[k + 1][0]:
                    span = stops[k + 1][0] - stops[k][0]
                    c = mix(rgba(stops[k][1]), rgba(stops[k + 1][1]), 0 if span == 0 else (t_ - stops[k][0]) / span)
                    break
            if horizontal:
                gd.line([(i, 0), (i, gh - 1)], fill=c)
            else:
                gd.line([(0, i), (gw - 1, i)], fill=c)
        mask = Image.new("L", (gw, gh), 0)
        ImageDraw.Draw(mask).rounded_rectangle([0, 0, gw - 1, gh - 1], radius * SCALE, fill=255)
        clear = Image.new("RGBA", (gw, gh), (0, 0, 0, 0))
        layer.paste(Image.composite(grad, clear, mask), (box[0], box[1]))
        self._put(layer, origin)

    def hline(self, x0, x1, y, color, width=1):
        self.rect(x0, y, x1, y + width, fill=color)

    def vline(self, x, y0, y1, color, width=1):
        self.rect(x, y0, x + width, y1, fill=color)

    def polygon(self, points, fill=None, outline=None, width=1):
        xs = [p[0] for p in points]
        ys = [p[1] for p in points]
        layer, d, origin = self._layer(min(xs), min(ys), max(xs), max(ys), margin=2)
        pts = [((x - origin[0]) * SCALE, (y - origin[1]) * SCALE) for x, y in points]
        if fill is not None:
            d.polygon(pts, fill=rgba(fill))
        if outline is not None:
            d.line(pts + [pts[0]], fill=rgba(outline), width=int(round(width * SCALE)), joint="curve")
        self._put(layer, origin)

    def line(self, points, color, width=1.0, round_caps=True):
        """A polyline through points given in pixel coordinates (edges, not centres)."""
        xs = [p[0] for p in points]
        ys = [p[1] for p in points]
        layer, d, origin = self._layer(min(xs), min(ys), max(xs), max(ys), margin=int(width) + 2)
        pts = [((x - origin[0]) * SCALE, (y - origin[1]) * SCALE) for x, y in points]
        w = int(round(width * SCALE))
        d.line(pts, fill=rgba(color), width=w, joint="curve")
        if round_caps:
            for x, y in (pts[0], pts[-1]):
                d.ellipse([x - w / 2, y - w / 2, x + w / 2, y + w / 2], fill=rgba(color))
        self._put(layer, origin)

    def ellipse(self, l, t, r, b, fill=None, outline=None, width=1):
        layer, d, origin = self._layer(l, t, r, b, margin=1)
        box = [(l - origin[0]) * SCALE, (t - origin[1]) * SCALE, (r - origin[0]) * SCALE - 1, (b - origin[1]) * SCALE - 1]
        if fill is not None:
            d.ellipse(box, fill=rgba(fill))
        if outline is not None:
            d.ellipse(box, outline=rgba(outline), width=int(round(width * SCALE)))
        self._put(layer, origin)

    def circle(self, cx, cy, radius, fill=None, outline=None, width=1):
        self.ellipse(cx - radius, cy - radius, cx + radius, cy + radius, fill, outline, width)

    def arc(self, cx, cy, radius, start, end, color, width=1):
        layer, d, origin = self._layer(cx - radius, cy - radius, cx + radius, cy + radius, margin=int(width) + 1)
        box = [(cx - radius - origin[0]) * SCALE, (cy - radius - origin[1]) * SCALE,
               (cx + radius - origin[0]) * SCALE, (cy + radius - origin[1]) * SCALE]
        d.arc(box, start, end, fill=rgba(color), width=int(round(width * SCALE)))
        self._put(layer, origin)

    def path(self, draw_fn, bbox, blur=0, margin=0):
        """Free drawing: draw_fn(draw, to_layer) on a layer over bbox, optional blur (glow)."""
        l, t, r, b = bbox
        layer, d, origin = self._layer(l, t, r, b, margin=margin + int(blur * 3) + 1)

        def to_layer(x, y):
            return ((x - origin[0]) * SCALE, (y - origin[1]) * SCALE)

        draw_fn(d, to_layer)
        if blur:
            layer = layer.filter(ImageFilter.GaussianBlur(blur * SCALE))
        self._put(layer, origin)

    # -- text --------------------------------------------------------------
    def text(self, x, y, s, size, color, weight="book", anchor="la", spacing=0.0):
        """Text with its anchor at (x, y) in pixels (PIL anchors: la, ma, ra, lm, mm, ...)."""
        self.texts.append((x, y, s, size, color, weight, anchor, spacing))
        for layer, origin in _text_layers(x, y, s, size, color, weight, anchor, spacing):
            self._put(layer, origin, is_text=True)

    # -- output ------------------------------------------------------------
    def image(self, dpi=96):
        """The picture for a DPI: 96 (the 1x file), 144 or 192, of
        scaled_length(w, dpi) x scaled_length(h, dpi) pixels."""
        if dpi == 96:
            return self.im.resize((self.w, self.h), Image.BOX)
        factor = dpi / 96
        w, h = scaled_length(self.w, dpi), scaled_length(self.h, dpi)
        base = self.bare if self.bare is not None else self.im
        # The drawing region the target pixels cover. Rounding the size up
        # can reach past the drawing (105 x 1.5 = 157.5 -> 158): what lies
        # beyond is transparent, as it is beside the 1x picture.
        sw, sh = w * SCALE / factor, h * SCALE / factor
        if sw > base.width or sh > base.height:
            padded = Image.new("RGBA", (max(base.width, math.ceil(sw)), max(base.height, math.ceil(sh))), (0, 0, 0, 0))
            padded.paste(base, (0, 0))
            base = padded
        out = base.resize((w, h), Image.BOX, box=(0, 0, sw, sh))
        for x, y, s, size, color, weight, anchor, spacing in self.texts:
            layers = _text_layers(x * factor, y * factor, s, size * factor, color, weight, anchor, spacing * factor)
            for layer, (ox, oy) in layers:
                small = layer.resize((layer.width // SCALE, layer.height // SCALE), Image.BOX)
                _composite_clipped(out, small, ox, oy)
        return out

    def save(self, path):
        img = self.image()
        assert img.mode == "RGBA"
        img.save(path, format="PNG", optimize=False)
