#!/usr/bin/env python3
"""Composes what the program will show from a skin folder and the layout:
page backgrounds, element images at their rectangles and the program's own
texts in stand-in fonts. For judging a skin's alignment by eye.

Usage: mockup.py LAYOUT_JSON SKIN_DIR OUTPUT_DIR
"""
import json
import os
import sys

from PIL import Image, ImageDraw, ImageFont

NORMAL = ImageFont.truetype("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", 12)
TITLE = ImageFont.truetype("/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf", 15)
TEXT = (214, 222, 235)
WHITE = (255, 255, 255)

ENGLISH = {
    "PageTitle": None, "WebLink": "https://www.kovral.example/",
    "KeySetting": "Key Setting", "ReportRateSetting": "Report Rate Setting", "DpiSetting": "DPI Setting",
    "DpiEffect": "DPI Effect", "ColorLabel": "Color", "SelectLabel": "Select", "LightModeLabel": "Mode",
    "LightParameterLabel": "Parameter", "LightEffectLabel": "Effect", "MouseSpeed": "Mouse Speed",
    "ScrollingSpeed": "Scrolling Speed", "DoubleClickSpeed": "Double-Click Speed",
    "EnhancePrecision": "Enhance Pointer Precision", "ScrollOneScreen": "Scroll One Screen",
    "MacroSetting": "Macro Setting", "SelectMacro": "Select Macro", "KeyPressSequence": "Key Press Sequence",
    "RecordOption": "Record Option", "StartRecording": "Start Recording", "StopRecording": "Stop Recording",
    "MacroName": "Macro Name", "LoopTimes": "Loop Times", "InsertMouseEvent": "Insert A Mouse Event",
}
LABELS = {"Ok": "OK", "Apply": "Apply", "Cancel": "Cancel", "KeyDefault": "Default", "PointerDefault": "Default",
          "ModeA": "Mode A", "ModeB": "Mode B", "MacroNew": "New", "MacroDelete": "Delete",
          "MacroConfirm": "Confirm", "DialogOk": "OK", "DialogCancel": "Cancel"}


def text(draw, rect, s, fmt, color, font=NORMAL):
    l, t, r, b = rect
    w = draw.textlength(s, font=font)
    if fmt & 1:
        x = l + (r - l - w) / 2
    elif fmt & 2:
        x = r - w
    else:
        x = l
    if fmt & 4:
        y = (t + b) / 2
        draw.text((x, y), s, font=font, fill=color, anchor="lm")
    else:
        draw.text((x, t), s, font=font, fill=color, anchor="la")


class Page:
    def __init__(self, skin, background):
        self.skin = skin
        self.im = Image.open(os.path.join(skin, background.lstrip("/"))).convert("RGBA")
        self.draw = ImageDraw.Draw(self.im)

    def png(self, name, rect):
        img = Image.open(os.path.join(self.skin, name.lstrip("/"))).convert("RGBA")
        self.im.alpha_composite(img, (rect[0], rect[1]))

    def element(self, e, over=False, label=None, fmt=0x25):
        self.png(e["over"] if over else e["normal"], e["rect"])
        if label:
            text(self.draw, e["rect"], label, fmt, TEXT)

    def fill(self, rect, color):
        self.draw.rectangle([rect[0], rect[1], rect[2] - 1, rect[3] - 1], fill=color)


def find(table, action, index=0, step=0):
    return next(e for e in table if e["action"] == action and e["index"] == index and e["step"] == step)


def common(page, layout, title, hover=None):
    for e in layout["common"]:
        if e["action"] == "WebLink":
            text(page.draw, e["rect"], ENGLISH["WebLink"], 0x25, TEXT)
            continue
        page.element(e, over=e["action"] == hover, label=LABELS.get(e["action"]))
    text(page.draw, layout["rects"]["pageTitle"], title, 0x24, WHITE, TITLE)


def basic(layout, skin):
    p = Page(skin, "/BasicSet2.png")
    common(p, layout, "Basic Settings", hover="Ok")
    b = layout["basic"]
    R = layout["rects"]
    p.element(find(b, "ModeA"), over=True, label="Mode A")
    p.element(find(b, "ModeB"), label="Mode B")
    p.element(find(b, "KeyDefault"), label="Default")
    rows = ["Left Click", "Right Click", "Mid Click", "Forward", "Backward", "DPI Loop"]
    for k in range(1, 7):
        p.element(find(b, "KeyRow", k), over=k == 2)
        text(p.draw, R["keyRowNumber%d" % k], str(k), 0x24, TEXT)
        text(p.draw, R["keyRowText%d" % k], rows[k - 1], 0x24, TEXT)
    for r, v in enumerate(["125", "250", "500", "1000"], 1):
        p.element(find(b, "ReportRate", r), over=r == 4)
        text(p.draw, R["reportRateLabel%d" % r], v, 0x21, TEXT)
    for t in layout["basicTexts"]:
        if t["text"] != "PageTitle":
            text(p.draw, t["rect"], ENGLISH[t["text"]], t["format"], TEXT)
    levels = ["250", "500", "750", "1000", "1250", "1500", "1750", "2000", "2500", "3000", "3500", "4000"]
    for i, s in enumerate(levels, 1):
        text(p.draw, R["dpiLevelLabel12_%d" % i], s, 0x26, TEXT)
    colours = [(255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 0)]
    shown = [2, 4, 7, 12]
    for s in range(1, 5):
        on = s != 4
        p.element(find(b, "DpiSelect", s), over=on)
        p.fill(find(b, "DpiColor", s)["rect"], colours[s - 1])
        text(p.draw, R["dpiStageNumber%d" % s], str(s), 0x21, TEXT)
        for level in range(1, 13):
            p.element(find(b, "DpiCell", s, level), over=on and level <= shown[s - 1])
    for d, s in enumerate(["Standard", "55%", "RGB Effect"], 1):
        p.fill(R["lightText%d" % d], (0, 0, 0))
        text(p.draw, R["lightText%d" % d], s, 0x25, TEXT)
    return p.im


def advanced(layout, skin):
    p = Page(skin, "/AdvancedSet2.png")
    common(p, layout, "Advanced Settings", hover="AdvancedTab")
    a = layout["advanced"]
    R = layout["rects"]
    p.element(find(a, "PrecisionBox"), over=True)
    p.element(find(a, "OneScreenBox"))
    p.element(find(a, "PointerDefault"), label="Default")
    for action, label in (("MacroNew", "New"), ("MacroDelete", "Delete"), ("MacroConfirm", "Confirm")):
        p.element(find(a, action), over=action == "MacroDelete", label=label)
    steps = [6, 3, 6]
    for row in range(1, 4):
        for i in range(1, 12):
            p.element(find(a, "PointerCell", row, i), over=i <= steps[row - 1])
            text(p.draw, R["pointerCellNumber%d_%d" % (row, i)], str(i), 0x21, TEXT)
    for t in layout["advancedTexts"]:
        if t["text"] != "PageTitle":
            text(p.draw, t["rect"], ENGLISH[t["text"]], t["format"], TEXT)
    for i, s in enumerate(["Reload", "Burst", "Build"]):
        r = R["macroList"]
        text(p.draw, (r[0] + 2, r[1] + 2 + 16 * i, r[2], r[1] + 18 + 16 * i), s, 0x24, TEXT)
    for i, s in enumerate(["R   Dn", "50 ms", "R   Up", "50 ms"]):
        r = R["sequenceList"]
        text(p.draw, (r[0] + 2, r[1] + 2 + 16 * i, r[2], r[1] + 18 + 16 * i), s, 0x24, TEXT)
    text(p.draw, R["macroNameEdit"], "Reload", 0x25, TEXT)
    text(p.draw, R["loopCountEdit"], "1", 0x25, TEXT)
    text(p.draw, R["mouseEventText"], "L-Button Click", 0x25, TEXT)
    return p.im


def dialogs(layout, skin):
    w, h = layout["dialogSize"]
    sheet = Image.new("RGBA", (4 * (w + 10), 2 * (h + 10)), (60, 60, 60, 255))
    R = layout["rects"]
    extra = {
        "/single-key.png": [("single.prompt", "Please enter a key", 0x25), ("single.keyName", "Caps Lock", 0x25)],
        "/delay-time.png": [("delay.prompt", "Please enter a delay", 0x25), ("delay.rangeHint", "(value range 0-10000)", 0x25),
                            ("delay.edit", "250", 0x25)],
        "/fire-key.png": [("fire.speedLabel", "Speed", 0x26), ("fire.timesLabel", "Times", 0x26),
                          ("fire.line0", "Illustration:", 0x24),
                          ("fire.line1", "Speed (value range 5-255, with smaller values faster)", 0x24),
                          ("fire.line2", "Times (value range 0-255,0 indicates fire key to end when the key released)", 0x24),
                          ("fire.keyText", "F5", 0x25), ("fire.speedEdit", "32", 0x25), ("fire.timesEdit", "1", 0x25)],
        "/combo-key.png": [("combo.modifierText", "Left Ctrl", 0x25), ("combo.firstKeyEdit", "A", 0x25)],
        "/media-key.png": [("choice.chosenText", "Vol-", 0x24)],
        "/windows-key.png": [("choice.chosenText", "Calculator", 0x24)],
        "/macro-key.png": [("macro.prompt", "Please select a macro", 0x25), ("macro.nameText", "Reload", 0x24),
                           ("macro.modeText1", "Repeat a specified number of times", 0x24),
                           ("macro.modeText2", "Repeat until press any key to end", 0x24),
                           ("macro.modeText3", "Repeat until the key is released", 0x24)],
        "/skins.png": [("skins.hint", "Please click to set the UI text color", 0x25), ("skins.nameText", "Default", 0x24)],
    }
    for n, face in enumerate(layout["dialogs"]):
        p = Page(skin, face["background"])
        for e in layout["dialogFrame"]:
            p.element(e, over=e["action"] == "DialogCancel" and n % 2 == 0, label=LABELS.get(e["action"]))
        if face["background"] == "/macro-key.png":
            p.png("/PaneMakingTick.png", layout["macroModeBoxes"][0]["rect"])
        if face["background"] == "/skins.png":
            p.fill(R["skins.swatch"], TEXT)
        for key, s, fmt in extra.get(face["background"], []):
            text(p.draw, R[key], s, fmt, WHITE)
        # The window's thin border takes the last column and row.
        p.draw.rectangle([0, 0, w - 1, h - 1], outline=(0, 0, 0))
        sheet.alpha_composite(p.im, ((n % 4) * (w + 10) + 5, (n // 4) * (h + 10) + 5))
    return sheet


def main():
    layout = json.load(open(sys.argv[1]))
    skin, out = sys.argv[2], sys.argv[3]
    os.makedirs(out, exist_ok=True)
    basic(layout, skin).save(os.path.join(out, "mockup-basic.png"))
    advanced(layout, skin).save(os.path.join(out, "mockup-advanced.png"))
    dialogs(layout, skin).save(os.path.join(out, "mockup-dialogs.png"))
    print("mock-ups in", out)


if __name__ == "__main__":
    main()
