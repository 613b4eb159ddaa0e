#!/usr/bin/env python3
"""Draws a bundled skin: the "Default" skin's dark, cyan-lit look, or the same
shapes in another colour theme (themes.py).

Usage: make_default.py LAYOUT_JSON OUTPUT_DIR [THEME]

LAYOUT_JSON is what tools/skin_gen/layout_dump prints: the program's own layout
tables and the picture sets a skin carries (1x, 1.5x, 2x). Every element
image is drawn at the size of the rectangle the program places it in, and the page and dialog backgrounds put their boxes,
tracks, panels and list frames around the rectangles of the controls that
the program draws or creates there. The texts the program draws itself are
not in the pictures; their places are kept calm.
"""
import json
import math
import os
import sys

import themes
from paint import Art, mix

# Palette ---------------------------------------------------------------
BASE = (12, 14, 18)
BASE_LOW = (9, 10, 13)
PANEL = (18, 21, 27)
PANEL_EDGE = (38, 45, 58)
PLATE = (27, 32, 42)
LINE = (34, 40, 52)
CONTROL_EDGE = (62, 73, 92)
GLYPH = (150, 163, 184)
ACCENT = (0, 200, 255)
ACCENT_DEEP = (0, 120, 170)
ACCENT_LIGHT = (120, 228, 255)
FIELD_DIALOG = (0x28, 0x28, 0x28)  # the dialogs' control brush
FIELD_MAIN = (0, 0, 0)  # the main window's value statics and edits
LIST_MAIN = (4, 5, 6)  # the macro lists' brush
TITLE_TEXT = (226, 232, 242)
MUTED_TEXT = (108, 120, 140)
# The text colour the skin is made for (str.ini's RColor, GColor, BColor).
SUGGESTED_TEXT = (214, 222, 235)


def load_layout(path):
    with open(path) as f:
        return json.load(f)


def elem(table, action, index=0, step=0):
    for e in table:
        if e["action"] == action and e["index"] == index and e["step"] == step:
            return e
    raise KeyError((action, index, step))


def size_of(rect):
    return rect[2] - rect[0], rect[3] - rect[1]


# Element images ---------------------------------------------------------
def button(w, h, over):
    a = Art(w, h)
    if over:
        a.gradient(0, 0, w, h, (0, 150, 200), (0, 92, 136), radius=3)
        a.rect(0, 0, w, h, outline=(90, 222, 255), radius=3)
        a.hline(3, w - 3, 1, (255, 255, 255, 70))
    else:
        a.gradient(0, 0, w, h, (44, 51, 64), (29, 34, 44), radius=3)
        a.rect(0, 0, w, h, outline=(70, 82, 103), radius=3)
        a.hline(3, w - 3, 1, (255, 255, 255, 22))
    return a


def dropdown(w, h, over):
    a = Art(w, h)
    edge = (90, 222, 255) if over else (52, 62, 79)
    a.gradient(0, 0, w, h, (20, 24, 31) if not over else (14, 40, 54), (13, 16, 21) if not over else (10, 28, 38), radius=3)
    # The number cell: the program writes the row number into the first 20 pixels.
    a.gradient(0, 0, 20, h, (0, 150, 200) if over else (36, 43, 55), (0, 96, 140) if over else (28, 33, 43), radius=3)
    a.rect(17, 0, 20, h, fill=(0, 96, 140) if over else (30, 36, 46))
    a.rect(0, 0, w, h, outline=edge, radius=3)
    a.vline(19, 1, h - 1, edge)
    # Chevron at the right end.
    cx, cy = w - 10, h / 2
    a.line([(cx - 3.5, cy - 1.5), (cx, cy + 2), (cx + 3.5, cy - 1.5)], ACCENT if over else GLYPH, width=1.6)
    return a


def round_icon_button(w, h, over, hover_fill, glyph_fn):
    a = Art(w, h)
    cx, cy = w / 2, h / 2
    if over:
        a.circle(cx, cy, w / 2, fill=hover_fill)
        a.circle(cx, cy, w / 2 - 0.5, outline=mix(hover_fill, (255, 255, 255), 0.35), width=1)
        glyph_fn(a, cx, cy, (255, 255, 255))
    else:
        a.circle(cx, cy, w / 2, fill=(32, 38, 49))
        a.circle(cx, cy, w / 2 - 0.5, outline=(60, 70, 88), width=1)
        glyph_fn(a, cx, cy, (172, 184, 204))
    return a


def glyph_close(a, cx, cy, color):
    a.line([(cx - 3.5, cy - 3.5), (cx + 3.5, cy + 3.5)], color, width=1.7)
    a.line([(cx + 3.5, cy - 3.5), (cx - 3.5, cy + 3.5)], color, width=1.7)


def glyph_minimise(a, cx, cy, color):
    a.line([(cx - 4, cy + 0.5), (cx + 4, cy + 0.5)], color, width=1.8)


def glyph_skins(a, cx, cy, color):
    # The appearance mark: a circle, half of it filled.
    a.circle(cx, cy, 5.2, outline=color, width=1.4)
    a.path(lambda d, p: d.pieslice([*p(cx - 5.2, cy - 5.2), *p(cx + 5.2, cy + 5.2)], 90, 270, fill=color),
           (cx - 6, cy - 6, cx + 6, cy + 6))


def tab(w, h, over, icon):
    a = Art(w, h)
    if over:
        a.gradient(0, 0, w, h, (0, 74, 104), (0, 44, 64), radius=6)
        a.rect(0, 0, w, h, outline=(90, 222, 255), radius=6)
        color = (255, 255, 255)
    else:
        a.gradient(0, 0, w, h, (30, 35, 45), (21, 25, 32), radius=6)
        a.rect(0, 0, w, h, outline=(58, 68, 86), radius=6)
        color = (160, 174, 196)
    a.hline(6, w - 6, 1, (255, 255, 255, 40 if over else 18))
    icon(a, w / 2, h / 2, color)
    return a


def icon_mouse(a, cx, cy, color):
    # A mouse seen from above, with its two buttons and wheel.
    l, r, t, b = cx - 8, cx + 8, cy - 12, cy + 12
    a.path(lambda d, p: d.rounded_rectangle([*p(l, t), *p(r, b)], radius=8 * 4, outline=color, width=int(1.6 * 4)),
           (l, t, r, b))
    a.line([(l + 0.8, cy - 3), (r - 0.8, cy - 3)], color, width=1.4, round_caps=False)
    a.line([(cx, t + 1), (cx, cy - 3)], color, width=1.4, round_caps=False)
    a.rect(cx - 1.5, cy - 9, cx + 1.5, cy - 5, fill=color, radius=1)


def icon_gear(a, cx, cy, color):
    teeth = 8
    outer, inner = 11.5, 8.5
    pts = []
    for i in range(teeth * 4):
        ang = math.pi * 2 * i / (teeth * 4)
        rad = outer if (i % 4) in (1, 2) else inner
        pts.append((cx + rad * math.cos(ang), cy + rad * math.sin(ang)))

    def gear(d, p):
        d.polygon([p(x, y) for x, y in pts], fill=color)
        # Drawing with a clear colour on the layer punches the hole through.
        d.ellipse([*p(cx - 4.2, cy - 4.2), *p(cx + 4.2, cy + 4.2)], fill=(0, 0, 0, 0))

    a.path(gear, (cx - outer, cy - outer, cx + outer, cy + outer))


def segment(w, h, light, gap=0):
    """A slider cell; the last `gap` columns stay clear so touching cells read apart."""
    a = Art(w, h)
    r = w - gap
    if light:
        a.gradient(0, 0, r, h, (60, 225, 255), (0, 150, 210), radius=2)
        a.rect(0, 0, r, h, outline=(150, 238, 255), radius=2)
        a.hline(2, r - 2, 1, (255, 255, 255, 110))
    else:
        a.gradient(0, 0, r, h, (36, 42, 54), (27, 32, 41), radius=2)
        a.rect(0, 0, r, h, outline=(55, 65, 82), radius=2)
    return a


def checkbox(w, h, ticked):
    a = Art(w, h)
    if ticked:
        a.gradient(0, 0, w, h, (40, 215, 255), (0, 140, 200), radius=3)
        a.rect(0, 0, w, h, outline=(150, 238, 255), radius=3)
        a.line([(3.6, 8.2), (6.6, 11.2), (12.4, 4.6)], (6, 22, 32), width=2.1)
    else:
        a.gradient(0, 0, w, h, (14, 16, 21), (20, 24, 31), radius=3)
        a.rect(0, 0, w, h, outline=(96, 110, 135), radius=3)
    return a


# Shared background parts ------------------------------------------------
def field_box(a, rect, fill, arrow_from=None, edge=CONTROL_EDGE):
    """A box whose inside is exactly `rect` (the control sits there) with its frame one pixel outside."""
    l, t, r, b = rect
    a.rect(l - 1, t - 1, r + 1, b + 1, fill=edge, radius=2)
    a.rect(l, t, r, b, fill=fill)
    if arrow_from is not None:
        a.rect(arrow_from, t, r, b, fill=mix(fill, (40, 48, 62), 0.9) if fill != FIELD_DIALOG else (52, 52, 52))
        a.vline(arrow_from, t, b, edge)
        cx = (arrow_from + r) / 2 + 0.5
        cy = (t + b) / 2
        a.line([(cx - 3.2, cy - 1.4), (cx, cy + 1.8), (cx + 3.2, cy - 1.4)], ACCENT, width=1.5)


def panel(a, l, t, r, b):
    a.rect(l, t, r, b, fill=PANEL, radius=5)
    a.gradient(l, t, r, t + 60, (255, 255, 255, 7), (255, 255, 255, 0), radius=5)
    a.rect(l, t, r, b, outline=PANEL_EDGE, radius=5)


def heading_plate(a, rect, panel_right=None):
    """The plate a heading text is centred on, with its accent underline."""
    l, t, r, b = rect
    a.rect(l, t, r, b, fill=PLATE, radius=3)
    a.rect(l, b - 2, r, b, fill=ACCENT)
    if panel_right is not None and panel_right > r:
        a.hline(r, panel_right, b - 1, LINE)


def window_frame(layout, page_tab=None):
    """What the main window shows on every page: base, top bar, header, footer.
    page_tab names the tab of the page the picture belongs to (None: no page)."""
    w, h = layout["mainSize"]
    a = Art(w, h)
    a.gradient(0, 0, w, h, BASE, BASE_LOW)
    # Header band with diagonal light strokes on its right.
    a.gradient(0, 0, w, 148, (20, 24, 31), (13, 15, 20))

    def strokes(d, p):
        for i in range(14):
            x = 470 + i * 30
            d.line([p(x, 148), p(x + 110, 33)], fill=(255, 255, 255, 9 + (i % 3) * 3), width=6)
        d.line([p(690, 148), p(800, 33)], fill=(0, 200, 255, 38), width=8)
        d.line([p(716, 148), p(826, 33)], fill=(0, 200, 255, 20), width=4)

    a.path(strokes, (440, 33, w, 148))
    # Top bar.
    a.gradient(0, 0, w, 30, (28, 33, 43), (19, 22, 29))
    a.hline(0, w, 30, LINE)
    a.hline(0, w, 0, ACCENT)
    a.hline(0, w, 1, (0, 200, 255, 60))
    # Brand: a small cut mark and the name.
    a.polygon([(16, 9), (26, 9), (22, 22), (12, 22)], fill=ACCENT)
    a.polygon([(27, 9), (31, 9), (27, 22), (23, 22)], fill=(0, 200, 255, 120))
    a.text(38, 15.5, "KALVORIN", 12.5, TITLE_TEXT, "bold", "lm", spacing=1.2)
    a.text(128, 15.5, "DRX", 12.5, ACCENT, "bold", "lm", spacing=1.2)
    a.text(166, 15.5, "GAMING MOUSE SETTINGS", 9, MUTED_TEXT, "condensed-bold", "lm", spacing=1.0)
    # A recess the window buttons sit in.
    common = layout["common"]
    skins_rect = elem(common, "Skins")["rect"]
    close_rect = elem(common, "Close")["rect"]
    a.vline(skins_rect[2] + 52, 7, 22, LINE)
    # Header: the page tabs sit on a rail; the title text goes right of them.
    basic_tab = elem(common, "BasicTab")["rect"]
    adv_tab = elem(common, "AdvancedTab")["rect"]
    a.rect(basic_tab[0] - 6, basic_tab[1] - 6, adv_tab[2] + 6, adv_tab[3] + 6, fill=(8, 10, 13, 200), radius=9)
    a.rect(basic_tab[0] - 6, basic_tab[1] - 6, adv_tab[2] + 6, adv_tab[3] + 6, outline=(40, 47, 60), radius=9)
    if page_tab is not None:
        title = layout["rects"]["pageTitle"]
        a.rect(title[0] - 12, title[1] + 6, title[0] - 9, title[3] - 6, fill=ACCENT)
    a.hline(0, w, 147, LINE)
    if page_tab is not None:
        tr = elem(common, page_tab)["rect"]
        a.rect(tr[0] + 8, tr[3] + 2, tr[2] - 8, tr[3] + 4, fill=ACCENT, radius=1)
        a.path(lambda d, p: d.rectangle([*p(tr[0] + 6, tr[3] + 1), *p(tr[2] - 6, tr[3] + 5)], fill=(0, 200, 255, 90)),
               (tr[0], tr[3], tr[2], tr[3] + 6), blur=2)
    # Footer.
    a.gradient(0, 600, w, h, (16, 19, 24), (11, 13, 17))
    a.hline(0, w, 600, LINE)
    if page_tab is not None:
        # A globe beside the web link the page draws.
        link = layout["rects"]["webLink"]
        gx, gy = link[0] - 8, (link[1] + link[3]) / 2
        a.circle(gx, gy, 6, outline=MUTED_TEXT, width=1.2)
        a.ellipse(gx - 2.6, gy - 6, gx + 2.6, gy + 6, outline=MUTED_TEXT, width=1.0)
        a.line([(gx - 6, gy), (gx + 6, gy)], MUTED_TEXT, width=1.0, round_caps=False)
    # Outer edge.
    a.rect(0, 0, w, h, outline=(46, 54, 70))
    return a


def place(a, image_art, rect):
    a.paste_art(image_art, rect[0], rect[1])


# Main window images ------------------------------------------------------
def main_image(layout, images):
    """The canvas before any page is shown (no mouse yet): the frame with the
    common buttons as the program draws them, so they look the same before
    and after the pointer has passed over them. OK, Apply and Cancel carry
    their English labels in the suggested text colour."""
    a = window_frame(layout)
    labels = {"Ok": "OK", "Apply": "Apply", "Cancel": "Cancel"}
    for e in layout["common"]:
        if e["normal"]:
            place(a, images[e["normal"]], e["rect"])
        if e["action"] in labels:
            r = e["rect"]
            a.text((r[0] + r[2]) / 2, (r[1] + r[3]) / 2, labels[e["action"]], 11.5, SUGGESTED_TEXT, "book", "mm")
    # Without a page the body shows the mouse, large and dim.
    k = 1.3
    draw_mouse(a, layout["mainSize"][0] / 2, 374 - 115 * k, k, dim=True)
    return a


def mouse_half_width(y):
    """Half the body's width y units behind the nose (the body is 230 long)."""
    def ease(a, b, t):
        return a + (b - a) * (1 - math.cos(math.pi * max(0.0, min(1.0, t)))) / 2

    if y < 30:
        return 40 * math.sqrt(max(0.0, 1 - ((30 - y) / 30) ** 2))
    if y < 100:
        return ease(40, 37, (y - 30) / 70)
    if y < 165:
        return ease(37, 46, (y - 100) / 65)
    return 46 * math.sqrt(max(0.0, 1 - ((y - 165) / 65) ** 2))


def draw_mouse(a, cx, top, k, dim=False, callouts=None):
    """A gaming mouse from above, its nose at (cx, top), scaled by k."""
    def P(x, y):
        return (cx + x * k, top + y * k)

    side = [(-mouse_half_width(y), y) for y in [i * 2.5 for i in range(93)]]
    outline = [P(x, y) for x, y in side] + [P(-x, y) for x, y in reversed(side)]
    glow = (0, 200, 255, 40 if dim else 70)
    a.path(lambda d, p: d.polygon([p(*q) for q in outline], fill=glow),
           (cx - 60 * k, top - 4, cx + 60 * k, top + 236 * k), blur=10)
    a.polygon(outline, fill=(26, 30, 38) if dim else (30, 35, 45))
    # A lighter palm area.
    palm_side = [(x * 0.8, y) for x, y in side if 100 <= y <= 215]
    palm = [P(x, y) for x, y in palm_side] + [P(-x, y) for x, y in reversed(palm_side)]
    a.polygon(palm, fill=(255, 255, 255, 6 if dim else 10))
    a.polygon(outline, outline=(70, 82, 102) if dim else (96, 112, 140), width=1.3)
    edge = (60, 70, 88) if dim else (84, 98, 124)
    # The split between the two main buttons and their rear edge.
    a.line([P(0, 1.5), P(0, 84)], edge, width=1.2)
    a.line([P(-38, 92), P(-14, 86), P(14, 86), P(38, 92)], edge, width=1.2)
    # Wheel.
    a.rect(*P(-5, 22), *P(5, 52), fill=(14, 17, 22), radius=3 * k)
    a.rect(*P(-5, 22), *P(5, 52), outline=ACCENT if not dim else ACCENT_DEEP, radius=3 * k, width=1.2)
    for yy in range(26, 50, 5):
        a.line([P(-3, yy), P(3, yy)], (0, 200, 255, 120 if not dim else 70), width=0.8, round_caps=False)
    # DPI button behind the wheel.
    a.rect(*P(-4, 60), *P(4, 71), fill=(0, 200, 255, 170 if not dim else 90), radius=2 * k)
    # Side buttons on the left flank.
    for y0, y1 in ((100, 124), (128, 150)):
        x = -mouse_half_width((y0 + y1) / 2)
        a.rect(*P(x - 1, y0), *P(x + 5, y1), fill=(50, 59, 75), radius=2 * k)
    # Light strip along the heel.
    a.line([P(-26, 208), P(0, 218), P(26, 208)], (0, 200, 255, 150 if not dim else 80), width=2.0)
    if callouts:
        anchors = {1: P(-20, 48), 2: P(20, 48), 3: P(0, 30), 4: P(-mouse_half_width(112) + 2, 112),
                   5: P(-mouse_half_width(139) + 2, 139), 6: P(2, 66)}
        for n, (tx, ty) in callouts.items():
            ax, ay = anchors[n]
            a.line([(ax, ay), (tx, ty)], (0, 200, 255, 150), width=1.0)
            a.circle(ax, ay, 2.2, fill=ACCENT)
            a.circle(tx, ty, 9, fill=(16, 20, 26), outline=ACCENT, width=1.3)
            a.text(tx, ty + 0.5, str(n), 10, TITLE_TEXT, "bold", "mm")


def basic_page(layout):
    a = window_frame(layout, "BasicTab")
    rects = layout["rects"]
    basic = layout["basic"]
    texts = {t["text"]: t["rect"] for t in layout["basicTexts"]}

    # Left: the mouse with its numbered buttons, matching the key rows.
    panel(a, 36, 158, 236, 592)
    a.text(136, 176, "BUTTONS", 9, MUTED_TEXT, "condensed-bold", "mm", spacing=1.5)
    draw_mouse(a, 138, 236, 1.08, callouts={1: (66, 232), 2: (210, 232), 3: (138, 205), 4: (58, 352),
                                           5: (58, 398), 6: (214, 312)})

    # Key rows panel.
    row1 = elem(basic, "KeyRow", 1)["rect"]
    mode_a = elem(basic, "ModeA")["rect"]
    panel(a, 244, 152, 472, 592)
    heading_plate(a, texts["KeySetting"], 472 - 1)
    # Rail under the six rows and a frame for the Mode A / Mode B switch.
    last_row = elem(basic, "KeyRow", 6)["rect"]
    a.rect(row1[0] - 4, row1[1] - 4, row1[2] + 4, last_row[3] + 4, fill=(10, 12, 16), radius=4)
    a.rect(row1[0] - 4, row1[1] - 4, row1[2] + 4, last_row[3] + 4, outline=(30, 36, 46), radius=4)
    mode_b = elem(basic, "ModeB")["rect"]
    a.rect(mode_a[0] - 3, mode_a[1] - 3, mode_b[2] + 3, mode_b[3] + 3, fill=(10, 12, 16), radius=5)
    a.rect(mode_a[0] - 3, mode_a[1] - 3, mode_b[2] + 3, mode_b[3] + 3, outline=(30, 36, 46), radius=5)
    a.text((row1[0] + row1[2]) / 2, mode_a[1] - 14, "LAYER", 8.5, MUTED_TEXT, "condensed-bold", "mm", spacing=1.5)

    # Report rate.
    seg1 = elem(basic, "ReportRate", 1)["rect"]
    seg4 = elem(basic, "ReportRate", 4)["rect"]
    panel(a, 490, 152, 848, 256)
    heading_plate(a, texts["ReportRateSetting"], 848 - 1)
    a.rect(seg1[0] - 3, seg1[1] - 3, seg4[2] + 3, seg4[3] + 3, fill=(8, 10, 13), radius=4)
    a.rect(seg1[0] - 3, seg1[1] - 3, seg4[2] + 3, seg4[3] + 3, outline=(34, 40, 52), radius=4)
    lab4 = rects["reportRateLabel4"]
    a.text(lab4[2] + 4, lab4[1] + 1, "Hz", 9, MUTED_TEXT, "condensed-bold", "la")

    # DPI stages.
    panel(a, 490, 266, 672, 592)
    heading_plate(a, texts["DpiSetting"], 672 - 1)
    for s in range(1, 5):
        top = elem(basic, "DpiCell", s, 12)["rect"]
        bottom = elem(basic, "DpiCell", s, 1)["rect"]
        cx = (top[0] + top[2]) // 2
        a.rect(cx - 1, top[1] + 2, cx + 1, bottom[3] - 2, fill=(40, 48, 62))
        pane = elem(basic, "DpiColor", s)["rect"]
        a.rect(pane[0] - 2, pane[1] - 2, pane[2] + 2, pane[3] + 2, fill=(90, 104, 128), radius=2)
        a.rect(pane[0], pane[1], pane[2], pane[3], fill=(0, 0, 0))
    first_col = elem(basic, "DpiCell", 1, 1)["rect"]
    last_col = elem(basic, "DpiCell", 4, 1)["rect"]
    a.hline(first_col[0] - 4, last_col[2] + 4, 520, (34, 40, 52))

    # Lighting.
    panel(a, 684, 266, 860, 420)
    heading_plate(a, texts["DpiEffect"], 860 - 1)
    for d in range(1, 4):
        box = elem(basic, "LightBox", d)["rect"]
        text = rects["lightText%d" % d]
        field_box(a, box, FIELD_MAIN, arrow_from=text[2])
    # An RGB ring below the lighting options.
    draw_rgb_ring(a, 772, 506, 54)
    return a


def draw_rgb_ring(a, cx, cy, radius):
    def ring(d, p, width, alpha):
        steps = 180
        for i in range(steps):
            ang0 = 360 * i / steps
            ang1 = 360 * (i + 1.5) / steps
            hue = i / steps
            r, g, b = hsv(hue)
            box = [*p(cx - radius, cy - radius), *p(cx + radius, cy + radius)]
            d.arc(box, ang0, ang1, fill=(r, g, b, alpha), width=width)

    a.path(lambda d, p: ring(d, p, 40, 120), (cx - radius, cy - radius, cx + radius, cy + radius), blur=5)
    a.path(lambda d, p: ring(d, p, 14, 255), (cx - radius, cy - radius, cx + radius, cy + radius))
    a.circle(cx, cy, radius - 9, fill=(14, 16, 21))
    a.circle(cx, cy, radius - 9, outline=(40, 47, 60), width=1)
    a.text(cx, cy - 5, "RGB", 15, (210, 220, 235), "bold", "mm", spacing=1.0)
    a.text(cx, cy + 12, "LIGHTING", 7.5, MUTED_TEXT, "condensed-bold", "mm", spacing=1.2)


def hsv(h):
    i = int(h * 6) % 6
    f = h * 6 - int(h * 6)
    q, t = 1 - f, f
    r, g, b = [(1, t, 0), (q, 1, 0), (0, 1, t), (0, q, 1), (t, 0, 1), (1, 0, q)][i]
    return int(r * 255), int(g * 255), int(b * 255)


def advanced_page(layout):
    a = window_frame(layout, "AdvancedTab")
    rects = layout["rects"]
    adv = layout["advanced"]
    texts = {t["text"]: t["rect"] for t in layout["advancedTexts"]}

    # Pointer settings: three sections, each a heading, a track and its numbers.
    panel(a, 36, 152, 430, 592)
    for name, row in (("MouseSpeed", 1), ("ScrollingSpeed", 2), ("DoubleClickSpeed", 3)):
        heading_plate(a, texts[name], 430 - 1)
        first = elem(adv, "PointerCell", row, 1)["rect"]
        last = elem(adv, "PointerCell", row, 11)["rect"]
        a.rect(first[0] - 3, first[1] - 3, last[2] + 1, last[3] + 3, fill=(8, 10, 13), radius=4)
        a.rect(first[0] - 3, first[1] - 3, last[2] + 1, last[3] + 3, outline=(34, 40, 52), radius=4)
        # Slow and fast marks at the track's ends.
        y = (first[1] + first[3]) / 2
        a.polygon([(last[2] + 10, y - 4), (last[2] + 16, y), (last[2] + 10, y + 4)], fill=(70, 82, 102))
        a.polygon([(last[2] + 16, y - 4), (last[2] + 22, y), (last[2] + 16, y + 4)], fill=ACCENT)
    for y in (296, 446):
        a.hline(48, 418, y, LINE)

    # Macro panel.
    panel(a, 446, 152, 874, 592)
    heading_plate(a, texts["MacroSetting"], 874 - 1)
    head_l = texts["SelectMacro"][0]
    head_t, head_b = texts["SelectMacro"][1], texts["SelectMacro"][3]
    a.rect(head_l, head_t, 873, head_b, fill=PLATE)
    a.hline(head_l, 873, head_b - 1, (0, 200, 255, 110))
    for name in ("KeyPressSequence", "RecordOption"):
        a.vline(texts[name][0], head_t + 4, head_b - 4, (60, 70, 88))
    for key in ("macroList", "sequenceList"):
        r = rects[key]
        a.rect(r[0] - 1, r[1], r[2] + 1, r[3] + 1, fill=(30, 36, 46))
        a.rect(r[0], r[1], r[2], r[3], fill=LIST_MAIN)
    # The record option column.
    start = elem(adv, "StartRecording")["rect"]
    stop = elem(adv, "StopRecording")["rect"]
    for r, kind in ((start, "record"), (stop, "stop")):
        cx, cy = (r[0] + r[2]) / 2, (r[1] + r[3]) / 2
        rad = (r[2] - r[0]) / 2
        a.circle(cx, cy, rad, fill=(30, 35, 45))
        a.circle(cx, cy, rad - 0.5, outline=(80, 94, 118), width=1)
        if kind == "record":
            a.path(lambda d, p: d.ellipse([*p(cx - 7, cy - 7), *p(cx + 7, cy + 7)], fill=(255, 40, 60, 150)),
                   (cx - 8, cy - 8, cx + 8, cy + 8), blur=2)
            a.circle(cx, cy, 6, fill=(240, 52, 70))
        else:
            a.rect(cx - 5, cy - 5, cx + 5, cy + 5, fill=(200, 210, 225), radius=1.5)
    field_box(a, rects["macroNameEdit"], FIELD_MAIN)
    field_box(a, rects["loopCountEdit"], FIELD_MAIN)
    field_box(a, rects["mouseEventBox"], FIELD_MAIN, arrow_from=rects["mouseEventText"][2])
    return a


# Dialogs ------------------------------------------------------------------
DIALOG_TITLES = {
    "/single-key.png": "SINGLE KEY",
    "/windows-key.png": "WINDOWS KEY",
    "/media-key.png": "MULTIMEDIA",
    "/fire-key.png": "FIRE KEY",
    "/macro-key.png": "MACRO KEY",
    "/combo-key.png": "COMBO KEY",
    "/delay-time.png": "DELAY TIME",
    "/skins.png": "SKINS",
    "/profiles.png": "PROFILES",
    "/preferences.png": "PREFERENCES",
}


def dialog_frame(layout, title):
    # Each face has the size the layout gives it (the macro dialog's texts need more width).
    image = next(name for name, t in DIALOG_TITLES.items() if t == title)
    w, h = next(d["size"] for d in layout["dialogs"] if d["background"] == image)
    a = Art(w, h)
    a.gradient(0, 0, w, h, (19, 22, 28), (14, 16, 21))
    a.gradient(0, 0, w, 32, (30, 35, 45), (21, 25, 32))
    a.hline(0, w, 32, LINE)
    a.hline(0, w, 0, ACCENT)
    a.rect(14, 10, 17, 23, fill=ACCENT)
    a.text(24, 16.5, title, 11.5, TITLE_TEXT, "bold", "lm", spacing=1.0)
    ok = elem(layout["dialogFrame"], "DialogOk")["rect"]
    a.gradient(0, ok[1] - 10, w, h, (15, 17, 22), (11, 13, 17))
    a.hline(0, w, ok[1] - 10, LINE)
    a.text(14, (ok[1] + ok[3]) / 2, "KALVORIN DRX", 8, (70, 80, 98), "condensed-bold", "lm", spacing=1.4)
    return a


def label(a, x, y, s):
    a.text(x, y, s, 9, MUTED_TEXT, "condensed-bold", "ls", spacing=0.6)


def keycap(a, l, t, w, h, s, size=11, lit=False):
    a.rect(l, t + 2, l + w, t + h + 2, fill=(8, 10, 13), radius=4)
    a.gradient(l, t, l + w, t + h, (52, 60, 76) if not lit else (0, 140, 190), (34, 40, 52) if not lit else (0, 90, 130), radius=4)
    a.rect(l, t, l + w, t + h, outline=(84, 98, 122) if not lit else (120, 228, 255), radius=4)
    a.text(l + w / 2, t + h / 2 - 1, s, size, (220, 228, 240), "bold", "mm")


def art_panel(a, l, t, r, b):
    a.rect(l, t, r, b, fill=(12, 14, 18), radius=5)
    a.rect(l, t, r, b, outline=(34, 40, 52), radius=5)


def combo_dialog(layout):
    R = layout["rects"]
    a = dialog_frame(layout, DIALOG_TITLES["/combo-key.png"])
    field = R["combo.modifierField"]
    label(a, field[0], field[1] - 5, "MODIFIER")
    field_box(a, field, FIELD_DIALOG, arrow_from=R["combo.modifierText"][2])
    e1, e2 = R["combo.firstKeyEdit"], R["combo.secondKeyEdit"]
    label(a, e1[0], e1[1] - 5, "FIRST KEY")
    field_box(a, e1, FIELD_DIALOG)
    label(a, e2[0], e2[1] - 5, "SECOND KEY")
    field_box(a, e2, FIELD_DIALOG)
    art_panel(a, 170, 52, 366, 200)
    keycap(a, 184, 96, 50, 34, "Ctrl", 10, lit=True)
    a.text(247, 112, "+", 14, MUTED_TEXT, "bold", "mm")
    keycap(a, 260, 96, 34, 34, "A")
    a.text(307, 112, "+", 14, MUTED_TEXT, "bold", "mm")
    keycap(a, 320, 96, 34, 34, "B")
    a.text(268, 162, "ONE MODIFIER, UP TO TWO KEYS", 7.5, MUTED_TEXT, "condensed-bold", "mm", spacing=0.8)
    return a


def single_dialog(layout):
    R = layout["rects"]
    a = dialog_frame(layout, DIALOG_TITLES["/single-key.png"])
    field_box(a, R["single.keyName"], FIELD_DIALOG)
    art_panel(a, 200, 52, 366, 200)
    # A small keyboard with one key lit.
    for row, (count, x0) in enumerate(((7, 212), (7, 218), (6, 226))):
        for i in range(count):
            keycap(a, x0 + i * 20, 86 + row * 24, 16, 16, "", lit=(row == 1 and i == 3))
    keycap(a, 238, 158, 90, 16, "")
    return a


def fire_dialog(layout):
    R = layout["rects"]
    a = dialog_frame(layout, DIALOG_TITLES["/fire-key.png"])
    field = R["fire.keyField"]
    label(a, field[0], field[1] - 5, "KEY")
    field_box(a, field, FIELD_DIALOG, arrow_from=R["fire.keyText"][2])
    field_box(a, R["fire.speedEdit"], FIELD_DIALOG)
    field_box(a, R["fire.timesEdit"], FIELD_DIALOG)
    # The explanation lines run across the whole width below; keep the art above them.
    line0 = R["fire.line0"]
    art_panel(a, 170, 52, 366, line0[1] - 8)
    cx, cy = 268, 114
    for i, rad in enumerate((34, 24)):
        a.circle(cx, cy, rad, outline=(0, 200, 255, 120 if i else 200), width=1.4)
    a.line([(cx - 44, cy), (cx - 14, cy)], ACCENT, width=1.4)
    a.line([(cx + 14, cy), (cx + 44, cy)], ACCENT, width=1.4)
    a.line([(cx, cy - 44 + 4), (cx, cy - 14)], ACCENT, width=1.4)
    a.line([(cx, cy + 14), (cx, cy + 44 - 4)], ACCENT, width=1.4)
    a.circle(cx, cy, 3, fill=(255, 70, 80))
    for i in range(3):
        bx = 186 + i * 12
        a.rect(bx, 150, bx + 6, 168, fill=(200, 170, 80), radius=2)
    return a


def delay_dialog(layout):
    R = layout["rects"]
    a = dialog_frame(layout, DIALOG_TITLES["/delay-time.png"])
    field_box(a, R["delay.edit"], FIELD_DIALOG)
    e = R["delay.edit"]
    a.text(e[2] + 6, (e[1] + e[3]) / 2, "ms", 9, MUTED_TEXT, "condensed-bold", "lm")
    art_panel(a, 226, 52, 366, 200)
    cx, cy = 296, 130
    a.circle(cx, cy, 40, fill=(16, 19, 24))
    a.circle(cx, cy, 40, outline=(92, 108, 134), width=2)
    a.rect(cx - 6, cy - 52, cx + 6, cy - 44, fill=(92, 108, 134), radius=2)
    for i in range(12):
        ang = i * math.pi / 6
        r0 = 33 if i % 3 else 29
        a.line([(cx + r0 * math.sin(ang), cy - r0 * math.cos(ang)), (cx + 36 * math.sin(ang), cy - 36 * math.cos(ang))],
               (120, 134, 158), width=1.2)
    a.path(lambda d, p: d.pieslice([*p(cx - 30, cy - 30), *p(cx + 30, cy + 30)], -90, 30, fill=(0, 200, 255, 70)),
           (cx - 30, cy - 30, cx + 30, cy + 30))
    a.line([(cx, cy), (cx + 26 * math.cos(math.radians(30)), cy + 26 * math.sin(math.radians(30)))], ACCENT, width=2)
    a.circle(cx, cy, 3, fill=ACCENT)
    return a


def choice_dialog(layout, image, field_label, glyphs):
    R = layout["rects"]
    a = dialog_frame(layout, DIALOG_TITLES[image])
    field = R["choice.field"]
    label(a, field[0], field[1] - 5, field_label)
    field_box(a, field, FIELD_DIALOG, arrow_from=R["choice.chosenText"][2])
    art_panel(a, 190, 52, 366, 236)
    glyphs(a)
    return a


def media_glyphs(a):
    cx, cy = 278, 128
    a.circle(cx, cy, 38, fill=(16, 19, 24), outline=(92, 108, 134), width=2)
    a.polygon([(cx - 10, cy - 16), (cx - 10, cy + 16), (cx + 17, cy)], fill=ACCENT)
    for i, hgt in enumerate((10, 18, 26, 18, 12, 22, 14)):
        x = 222 + i * 17
        a.rect(x, 206 - hgt, x + 9, 206, fill=(0, 200, 255, 90 + i * 20), radius=2)


def windows_glyphs(a):
    """Tiles for the application and browser functions: calculator, web, mail, favourites."""
    x0, y0, size, gap = 236, 74, 38, 8
    ink = (8, 24, 34)
    tiles = [(0, 0), (1, 0), (0, 1), (1, 1)]
    for n, (i, j) in enumerate(tiles):
        l, t = x0 + i * (size + gap), y0 + j * (size + gap)
        a.gradient(l, t, l + size, t + size, (40, 212, 255), (0, 128, 180), radius=6)
        a.rect(l, t, l + size, t + size, outline=(140, 232, 255), radius=6)
        cx, cy = l + size / 2, t + size / 2
        if n == 0:  # calculator
            a.rect(cx - 9, cy - 12, cx + 9, cy + 12, outline=ink, width=2, radius=2)
            a.rect(cx - 6, cy - 9, cx + 6, cy - 4, fill=ink)
            for r in range(2):
                for c in range(3):
                    a.rect(cx - 6 + c * 4.5, cy + r * 5, cx - 3.5 + c * 4.5, cy + 2.5 + r * 5, fill=ink)
        elif n == 1:  # web
            a.circle(cx, cy, 11, outline=ink, width=2)
            a.ellipse(cx - 4.5, cy - 11, cx + 4.5, cy + 11, outline=ink, width=1.6)
            a.line([(cx - 11, cy), (cx + 11, cy)], ink, width=1.6, round_caps=False)
        elif n == 2:  # mail
            a.rect(cx - 12, cy - 8, cx + 12, cy + 8, outline=ink, width=2, radius=2)
            a.line([(cx - 11, cy - 7), (cx, cy + 1), (cx + 11, cy - 7)], ink, width=1.8)
        else:  # favourites
            pts = []
            for k in range(10):
                ang = -math.pi / 2 + k * math.pi / 5
                rad = 12 if k % 2 == 0 else 5
                pts.append((cx + rad * math.cos(ang), cy + 1 + rad * math.sin(ang)))
            a.polygon(pts, fill=ink)


def macro_dialog(layout):
    R = layout["rects"]
    a = dialog_frame(layout, DIALOG_TITLES["/macro-key.png"])
    field_box(a, R["macro.field"], FIELD_DIALOG, arrow_from=R["macro.nameText"][2])
    # The tick boxes: the program ticks one; the others show what the picture has.
    pane = checkbox(16, 16, False)
    for e in layout["macroModeBoxes"]:
        place(a, pane, e["rect"])
    t1 = R["macro.modeText1"]
    a.vline(t1[0] - 24, 64, 208, LINE)
    # Above the prompt: a macro mark.
    a.rect(60, 52, 134, 96, fill=(12, 14, 18), radius=5)
    a.rect(60, 52, 134, 96, outline=(34, 40, 52), radius=5)
    a.text(97, 74, "M", 24, ACCENT, "bold", "mm")
    a.arc(97, 74, 17, 200, 340, (0, 200, 255, 140), width=1.6)
    a.arc(97, 74, 17, 20, 160, (0, 200, 255, 140), width=1.6)
    return a


def skins_dialog(layout):
    R = layout["rects"]
    a = dialog_frame(layout, DIALOG_TITLES["/skins.png"])
    sw = R["skins.swatch"]
    a.rect(sw[0] - 2, sw[1] - 2, sw[2] + 2, sw[3] + 2, fill=(110, 124, 150), radius=2)
    a.rect(sw[0], sw[1], sw[2], sw[3], fill=(0, 0, 0))
    field = R["skins.field"]
    label(a, field[0], field[1] - 4, "SKIN")
    field_box(a, field, FIELD_DIALOG, arrow_from=R["skins.nameText"][2])
    art_panel(a, 200, 52, 366, 236)
    colours = [(0, 200, 255), (255, 60, 80), (255, 190, 40), (60, 220, 120), (170, 90, 255), (230, 236, 245)]
    for i, c in enumerate(colours):
        ang = -math.pi / 2 + i * math.pi / 3
        cx, cy = 283 + 40 * math.cos(ang), 138 + 40 * math.sin(ang)
        a.path(lambda d, p, cx=cx, cy=cy, c=c: d.ellipse([*p(cx - 13, cy - 13), *p(cx + 13, cy + 13)], fill=c + (90,)),
               (cx - 14, cy - 14, cx + 14, cy + 14), blur=3)
        a.circle(cx, cy, 11, fill=c)
        a.circle(cx, cy, 11, outline=mix(c, (255, 255, 255), 0.4), width=1)
    a.circle(283, 138, 16, fill=(16, 19, 24), outline=(92, 108, 134), width=1.5)
    return a


def profiles_dialog(layout):
    R = layout["rects"]
    a = dialog_frame(layout, DIALOG_TITLES["/profiles.png"])
    field_box(a, R["profiles.list"], FIELD_DIALOG)
    name = R["profiles.nameLabel"]
    label(a, name[0], (name[1] + name[3]) / 2 + 3, "NAME")
    field_box(a, R["profiles.nameEdit"], FIELD_DIALOG)
    art_panel(a, *R["profiles.status"])
    return a


def preferences_dialog(layout):
    R = layout["rects"]
    a = dialog_frame(layout, DIALOG_TITLES["/preferences.png"])
    field_box(a, R["preferences.languageField"], FIELD_DIALOG, arrow_from=R["preferences.languageText"][2])
    # A small screen with its stand: the tick boxes the program draws mark
    # the places the on-screen display can take.
    l, t, r, b = R["preferences.screen"]
    a.rect(l, t, r, b, fill=(12, 14, 18), radius=5)
    a.rect(l, t, r, b, outline=CONTROL_EDGE, width=1.4, radius=5)
    a.rect(l + 4, t + 4, r - 4, b - 4, outline=(34, 40, 52), radius=3)
    cx = (l + r) / 2
    a.rect(cx - 3, b, cx + 3, b + 1, fill=CONTROL_EDGE)
    # The switches below, apart from the notices above them.
    a.hline(14, 366, R["preferences.showMe"][3] + 1, LINE)
    pane = checkbox(16, 16, False)
    for e in layout["preferences"]:
        if e["normal"] == "/Pane.png":
            place(a, pane, e["rect"])
    return a


# Build ---------------------------------------------------------------------
def element_images(layout):
    """Every element image, drawn at the size of the rectangles that use it."""
    makers = {
        "/button-normal.png": lambda w, h: button(w, h, False),
        "/button-over.png": lambda w, h: button(w, h, True),
        "/button-close-normal.png": lambda w, h: round_icon_button(w, h, False, (230, 50, 70), glyph_close),
        "/button-close-over.png": lambda w, h: round_icon_button(w, h, True, (230, 50, 70), glyph_close),
        "/button-min-normal.png": lambda w, h: round_icon_button(w, h, False, ACCENT_DEEP, glyph_minimise),
        "/button-min-over.png": lambda w, h: round_icon_button(w, h, True, ACCENT_DEEP, glyph_minimise),
        "/button-Skins-normal.png": lambda w, h: round_icon_button(w, h, False, ACCENT_DEEP, glyph_skins),
        "/button-Skins-over.png": lambda w, h: round_icon_button(w, h, True, ACCENT_DEEP, glyph_skins),
        "/button-PrePage-normal.png": lambda w, h: tab(w, h, False, icon_mouse),
        "/button-PrePage-over.png": lambda w, h: tab(w, h, True, icon_mouse),
        "/button-NextPage-normal.png": lambda w, h: tab(w, h, False, icon_gear),
        "/button-NextPage-over.png": lambda w, h: tab(w, h, True, icon_gear),
        "/DropdownBox-normal.png": lambda w, h: dropdown(w, h, False),
        "/DropdownBox-over.png": lambda w, h: dropdown(w, h, True),
        "/slider-RP-dark.png": lambda w, h: segment(w, h, False),
        "/slider-RP-light.png": lambda w, h: segment(w, h, True),
        "/slider-DPI-dark.png": lambda w, h: segment(w, h, False),
        "/slider-DPI-light.png": lambda w, h: segment(w, h, True),
        "/slider-dark.png": lambda w, h: segment(w, h, False, gap=2),
        "/slider-light.png": lambda w, h: segment(w, h, True, gap=2),
        "/Pane.png": lambda w, h: checkbox(w, h, False),
        "/PaneMakingTick.png": lambda w, h: checkbox(w, h, True),
        "/profiles-button-normal.png": lambda w, h: button(w, h, False),
        "/profiles-button-over.png": lambda w, h: button(w, h, True),
    }
    sizes = {}
    for table in ("common", "basic", "advanced", "dialogFrame", "macroModeBoxes", "profileButtons", "preferences"):
        for e in layout[table]:
            for key in ("normal", "over"):
                name = e[key]
                if not name:
                    continue
                s = size_of(e["rect"])
                if sizes.setdefault(name, s) != s:
                    raise SystemExit("%s is used at two sizes: %s and %s" % (name, sizes[name], s))
    missing = set(sizes) - set(makers)
    if missing:
        raise SystemExit("no drawing for " + ", ".join(sorted(missing)))
    return {name: makers[name](*sizes[name]) for name in sizes}


def main():
    layout = load_layout(sys.argv[1])
    out = sys.argv[2]
    theme = sys.argv[3] if len(sys.argv) > 3 else "Default"
    os.makedirs(out, exist_ok=True)
    images = element_images(layout)
    pictures = dict(images)
    pictures["/main.png"] = main_image(layout, images)
    pictures["/BasicSet2.png"] = basic_page(layout)
    pictures["/AdvancedSet2.png"] = advanced_page(layout)
    dialogs = {
        "/combo-key.png": combo_dialog,
        "/single-key.png": single_dialog,
        "/fire-key.png": fire_dialog,
        "/delay-time.png": delay_dialog,
        "/media-key.png": lambda l: choice_dialog(l, "/media-key.png", "FUNCTION", media_glyphs),
        "/windows-key.png": lambda l: choice_dialog(l, "/windows-key.png", "FUNCTION", windows_glyphs),
        "/macro-key.png": macro_dialog,
        "/skins.png": skins_dialog,
        "/profiles.png": profiles_dialog,
        "/preferences.png": preferences_dialog,
    }
    for face in layout["dialogs"]:
        art = dialogs[face["background"]](layout)
        assert [art.w, art.h] == face["size"], face
        pictures[face["background"]] = art
    # Every picture once per set the program knows ("main.png",
    # "main@1.5x.png", "main@2x.png"), each reduced from the same drawing.
    sets = layout.get("pictureSets") or [{"suffix": "", "dpi": 96}]
    written = 0
    for name, art in sorted(pictures.items()):
        stem, ext = os.path.splitext(name.lstrip("/"))
        for picture_set in sets:
            image = themes.apply(theme, art.image(picture_set["dpi"]))
            image.save(os.path.join(out, stem + picture_set["suffix"] + ext), format="PNG", optimize=False)
            written += 1
    print("wrote %d images to %s" % (written, out))


if __name__ == "__main__":
    main()
