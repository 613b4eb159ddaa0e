"""End-to-end tests of the assignment dialogs, driven with the pointer and
the keyboard from the basic page's rows; what they store is checked in the
simulator's trace, config.bin and str.ini byte for byte."""

import os
import time
import unittest

import winedesk as wd
from test_basic_page import ITEM_HEIGHT, MODE_A, MODE_B, PageCase, entry_point, key_list, row
from test_program import (ADVANCED_TAB, APPLY, EMPTY_SPOT, FACTORY_MATRIX, FACTORY_TEXTS_EN, PAGE_TITLE, _le_words,
                          check_apply_traffic)

# Dialog client rectangles.
D_OK = (166, 253, 271, 274)
D_CANCEL = (270, 253, 375, 274)
CHOICE_FIELD = (24, 129, 186, 143)
CHOICE_LIST_TOP = 145
FIRE_FIELD = (50, 70, 132, 84)
FIRE_LIST_TOP = 86
SPEED_EDIT = (50, 120, 131, 134)
TIMES_EDIT = (50, 170, 131, 184)
COMBO_FIELD = (50, 70, 132, 84)
MACRO_FIELD = (43, 129, 151, 143)
COMBO_LIST_TOP = 86
FIRST_KEY = (50, 120, 131, 134)
SECOND_KEY = (50, 170, 131, 184)


# The 13-point "宋体" of Simplified Chinese gives 13-pixel entries.
CHS_ITEM_HEIGHT = 13

# DrawTextW formats: how the dialogs lay out the texts they draw.
CENTRED = 0x25        # DT_CENTER | DT_VCENTER | DT_SINGLELINE
LEFT = 0x24           # DT_VCENTER | DT_SINGLELINE
RIGHT = 0x26          # DT_RIGHT | DT_VCENTER | DT_SINGLELINE
WRAPPED = 0x14        # DT_WORDBREAK, centred as a block (kvprobe's reading of DT_VCENTER)
WRAPPED_ANYWHERE = 0x2014  # the same, breaking within a word where no space is on the line (DT_EDITCONTROL)
WHITE = (255, 255, 255)

# What each dialog shows in the two Chinese languages, written out here
# rather than taken from the program. Both Simplified Chinese faces ("宋体"
# before Windows 8, "黑体" on it) are one font in the test prefix.
FIRE_KEYS = (list("ABCDEFGHIJKLMNOPQRSTUVWXYZ") + list("1234567890") +
             ["L-CTRL", "L-SHIFT", "L-ALT", "R-CTRL", "R-SHIFT", "R-ALT"] + [f"F{n}" for n in range(1, 13)] +
             ["L-Button", "R-Button", "M-Button", "B4-Button", "B5-Button", "L-Tilt Wheel", "R-Tilt Wheel"])
MODIFIERS = ["Left Ctrl", "Left Shift", "Left Alt", "Left Win", "Right Ctrl", "Right Shift", "Right Alt", "Right Win"]
CHINESE = {
    "CHS": {
        "detected": "系统检测到游戏鼠标。", "face": "宋体", "height": 13, "ok": "确定", "cancel": "取消",
        "media": ["下一首", "上一首", "停止", "播放/暂停", "静音", "音量+", "音量-"],
        "windows": ["打开多媒体播放器", "邮件", "计算器", "我的电脑", "浏览器-搜索", "浏览器-主页", "浏览器-后退",
                    "浏览器-前进", "浏览器-停止", "浏览器-刷新", "浏览器-收藏夹"],
        "single": "请输入一个按键",
        "fire": ["速度", "次数", "说明:", "速度(数值范围5-255，数值越小速度越快)",
                 "次数(数值范围0-255，0表示按键放开火力键结束)"],
        "delay": ["请输入一个延时", "(数值范围 0-10000)"],
        "macro": ["请从列表框选择一个宏", "重复指定次数或按任意键结束", "重复直到按任意键结束", "重复直到该按键松开结束"],
        "skins": "请点击设置UI文本颜色",
    },
    "CHT": {
        "detected": "系統檢測到遊戲滑鼠。", "face": "黑体", "height": 14, "ok": "確定", "cancel": "取消",
        "media": ["下一首", "上一首", "停止", "播放/暫停", "靜音", "音量+", "音量-"],
        "windows": ["打開多媒體播放器", "郵件", "計算器", "我的電腦", "瀏覽器-搜索", "瀏覽器-主頁", "瀏覽器-後退",
                    "瀏覽器-前進", "瀏覽器-停止", "瀏覽器-刷新", "瀏覽器-我的最愛"],
        "single": "請輸入一個按鍵",
        "fire": ["速度", "次數", "說明:", "速度(數值範圍5-255，數值越小速度越快)",
                 "次數(數值範圍0-255，0表示按鍵放開火力鍵結束)"],
        "delay": ["請輸入一個延時", "(數值範圍 0-10000)"],
        "macro": ["請從清單方塊選擇一個巨集", "重複指定次數或按任意鍵結束", "重複直到按任意鍵結束", "重複直到該按鍵鬆開結束"],
        "skins": "請點擊設置UI文本顏色",
    },
}
# Macros of the record.ini the Chinese runs start with: a name in Chinese
# for the macro key list, and a delay line for the delay dialog.
MACROS = {"连发": {"ItemCount": "3", "Item0": "A   Dn", "Item1": "50 ms", "Item2": "A   Up"},
          "Fire1": {"ItemCount": "0"}}
SKINS_BUTTON = (701, 5, 719, 23)

# The Preferences dialog (units): the language field and its list, the
# notice styles' boxes, the places' boxes in OsdPosition order, the switches'
# boxes, the sample button.
PREF_LANGUAGE_FIELD = (14, 60, 186, 76)
PREF_LANGUAGE_LIST_TOP = 78
PREF_LANGUAGE_STATIC, PREF_LANGUAGE_LIST = 620, 621
PREF_STYLE = {"OSD": (14, 106, 30, 122), "Balloons": (14, 128, 30, 144), "Off": (14, 150, 30, 166)}
PREF_PLACE = {"TopLeft": (204, 68, 220, 84), "BottomRight": (342, 116, 358, 132), "Centre": (273, 92, 289, 108)}
PREF_START, PREF_AUTOMATIC, PREF_NOTICES = (14, 184, 30, 200), (14, 204, 30, 220), (14, 224, 30, 240)
PREF_SHOW_ME = (196, 159, 366, 180)
PREF_LANGUAGES = ["System default", "English", "简体中文", "繁體中文"]
LIGHT_MODES = {"EN": {"Off", "Standard", "Respiration", "Neon"},
               "CHS": {"关闭模式", "标准模式", "呼吸模式", "霓虹模式"}}


class DialogCase(PageCase):
    """Helpers for the program's dialogs; the tests live in subclasses."""

    def dialog(self):
        """(x, y, w, h) of the open dialog: the program's window of a dialog's size."""
        def find():
            for _, x, y, w, h in self.world.visible_windows():
                if self.program.sized(w, 300, 420) and self.program.sized(h, 250, 340):
                    return (x, y, w, h)
            return None
        return wd.wait_for("a dialog", find, timeout=10)

    def dialog_gone(self):
        wd.wait_for("the dialog to close", lambda: not any(
            self.program.sized(w, 300, 420) and self.program.sized(h, 250, 340)
            for _, _, _, w, h in self.world.visible_windows()), timeout=10)

    def d_click(self, box, x, y):
        """Clicks a point of the dialog given in 96-DPI units."""
        self.world.click(box[0] + self.program.device(x), box[1] + self.program.device(y))

    def d_centre(self, box, rect):
        self.d_click(box, (rect[0] + rect[2]) // 2, (rect[1] + rect[3]) // 2)

    def open_function(self, k, index, height=ITEM_HEIGHT):
        """Chooses a function of row k that opens a dialog; returns the dialog."""
        area = key_list(k)
        self.open_list(row(k), area)
        self.program.click_client(*entry_point(area, index, height))
        return self.dialog()

    def item(self, box, list_left, list_top, index):
        d = self.program.device
        return (box[0] + d(list_left + 30), box[1] + d(list_top + 1 + ITEM_HEIGHT * index + ITEM_HEIGHT // 2))

    def ok(self, box):
        self.d_centre(box, D_OK)
        self.dialog_gone()
        self.park()

    def cancel(self, box):
        self.d_centre(box, D_CANCEL)
        self.dialog_gone()
        self.park()

    def park(self):
        """The pointer off every hover spot: an empty spot of the window, or
        the parking spot while the window is hidden (a dialog from the tray)."""
        shown = self.program.main_window() is not None
        self.world.move(*(self.program.client_point(*EMPTY_SPOT) if shown else wd.PARKING_SPOT))

    # -- what a dialog shows, read from outside -----------------------------
    def probed_dialog(self):
        """The open dialog as kvprobe reads it: (window, {control id: control})."""
        def find():
            for w in self.world.program_windows():
                left, top, right, bottom = w["rect"]
                if (w["class"] == "#32770" and self.program.sized(right - left, 300, 420)
                        and self.program.sized(bottom - top, 250, 340)):
                    return w
            return None
        window = wd.wait_for("the dialog in kvprobe's view", find, timeout=10)
        return window, {c["id"]: c for c in window["children"]}

    def probed_list(self, list_id):
        """The dialog's list `list_id` once it is open."""
        def opened():
            return self.probed_dialog()[1].get(list_id)
        return wd.wait_for(f"list {list_id} to open", opened, timeout=10)

    def check_inks(self, placed, face, height, what):
        """Each (text, screen rectangle, format, colour) shows that text there,
        in that font and colour. The pointer goes out of the way first, so
        that nothing under it is lit."""
        self.world.move(*wd.PARKING_SPOT)
        time.sleep(0.4)
        shot = self.world.grab()
        inks = self.world.render_texts([(face, height, 400, fmt, r[2] - r[0], r[3] - r[1], text)
                                        for text, r, fmt, _ in placed])
        for (text, r, fmt, colour), ink in zip(placed, inks):
            m = 2
            missing, stray = wd.ink_match(shot.crop((r[0] - m, r[1] - m, r[2] + m, r[3] + m)), ink, colour, search=m)
            if missing > 2 or stray > 2:
                self.shot(f"{what}-ink")
                self.fail(f"{what}: {text!r} in {face} {height} px is not what {r} shows: {missing} pixels of "
                          f"its ink missing, {stray} other pixels in its colour")

    def check_drawn(self, window, texts, lang, colour):
        """The dialog draws its OK and Cancel texts in the skin's text colour,
        and `texts`, (text, client rectangle, format, colour), where given."""
        x, y = window["client"]
        e = CHINESE[lang]
        placed = [(e["ok"], D_OK, CENTRED, colour), (e["cancel"], D_CANCEL, CENTRED, colour)] + list(texts)
        self.check_inks([(t, (x + r[0], y + r[1], x + r[2], y + r[3]), f, c) for t, r, f, c in placed],
                        e["face"], e["height"], "dialog")

    def check_entries(self, control, entries, lang, draw=True):
        """A list box holds `entries` in order, measures them in the dialog's
        font, and (where `draw`) shows the ones that fit."""
        e = CHINESE[lang]
        self.assertEqual(control["list"]["entries"], entries, f"entries of list {control['id']}")
        self.assertEqual(control["list"]["item_height"], e["height"], f"list {control['id']}: not the dialog's font")
        if not draw:
            return
        left, top, right, bottom = control["rect"]
        h = e["height"]
        # Entries start one pixel inside the border and are written one pixel
        # in; the entry's outer pixels are left out, where the list with the
        # focus draws its dotted focus frame.
        placed = [(text, (left + 3, top + 2 + i * h, right - 2, top + (i + 1) * h), LEFT, WHITE)
                  for i, text in enumerate(entries) if top + 1 + (i + 1) * h <= bottom - 1]
        self.check_inks(placed, e["face"], h, f"list {control['id']}")

    def check_static(self, control, text, lang, fmt=LEFT):
        self.assertEqual(control["text"], text, f"static {control['id']}")
        if text:
            e = CHINESE[lang]
            self.check_inks([(text, tuple(control["rect"]), fmt, WHITE)], e["face"], e["height"],
                            f"static {control['id']}")

    def open_preferences(self, program):
        """Opens the Preferences dialog from the tray menu; returns its box."""
        menu = self.open_tray_menu(program)
        self.world.click(*wd.menu_item_point(menu[0], wd.TRAY_PREFERENCES))
        box = self.dialog()
        wd.wait_for("the Preferences dialog", lambda: PREF_LANGUAGE_STATIC in self.probed_dialog()[1], timeout=10)
        return box

    def choose_language(self, box, index):
        """Chooses entry `index` of the language list; returns the list's entries."""
        self.d_centre(box, PREF_LANGUAGE_FIELD)
        listing = self.probed_list(PREF_LANGUAGE_LIST)
        h = listing["list"]["item_height"]
        self.world.click(listing["rect"][0] + 30, listing["rect"][1] + 1 + h * index + h // 2)
        wd.wait_for("the language list to close",
                    lambda: PREF_LANGUAGE_LIST not in self.probed_dialog()[1], timeout=10)
        return listing["list"]["entries"]

    def settled_ini(self, program, section):
        """str.ini once it holds `section` and reads whole (it may be in the
        middle of a write), else None."""
        try:
            ini = wd.read_utf16_ini(program.file("str.ini"))
        except (OSError, wd.E2EError):
            return None
        return ini if section in ini else None

    def light_texts(self):
        """The texts of the basic page's lighting statics, as kvprobe reads them."""
        return {c["text"] for w in self.world.program_windows() if w["class"] != "#32770"
                for c in w["children"] if 80 <= c["id"] <= 82 and c["text"]}

    def choose_in_field(self, box, field, list_top, index, shot=None):
        self.d_centre(box, field)
        time.sleep(0.4)
        if shot:
            self.shot(shot)
        self.world.click(*self.item(box, field[0], list_top, index))
        time.sleep(0.3)


class Dialogs(DialogCase):

    def setUp(self):
        self.start_shown([])

    def test_every_dialog_in_both_modes(self):
        program = self.program
        tab = self.look(MODE_B)
        program.click_rect(MODE_B)
        self.wait_changed(MODE_B, tab, "Mode B to be the edited mode")
        self.choose(4, 14)  # Shift, in both modes
        # The Shift button's new function reaches Mode A too.
        box = self.open_function(4, 12)  # Combo Key
        self.choose_in_field(box, COMBO_FIELD, COMBO_LIST_TOP, 0, shot="combo-list")  # Left Ctrl
        self.d_centre(box, FIRST_KEY)
        self.world.key("a")
        self.d_centre(box, SECOND_KEY)
        self.world.key("b")
        self.world.key("Return")  # captured, not OK
        time.sleep(0.3)
        self.world.key("b")
        time.sleep(0.3)
        self.shot("combo")
        self.ok(box)

        tab = self.look(MODE_A)
        program.click_rect(MODE_A)
        self.wait_changed(MODE_A, tab, "Mode A to be the edited mode")
        box = self.open_function(2, 8)  # Windows
        self.choose_in_field(box, CHOICE_FIELD, CHOICE_LIST_TOP, 2, shot="windows-list")  # Calculator
        self.shot("windows")
        self.ok(box)

        # Multimedia: Cancel, then OK with nothing chosen, change nothing.
        row3 = self.look(row(3))
        box = self.open_function(3, 9)
        self.shot("media")
        self.cancel(box)
        box = self.open_function(3, 9)
        self.ok(box)
        self.wait_same(row(3), row3, "row 3 unchanged")
        box = self.open_function(3, 9)
        self.choose_in_field(box, CHOICE_FIELD, CHOICE_LIST_TOP, 6, shot="media-list")  # Vol-
        self.ok(box)

        # Fire Key: R-Button (the list scrolls with the wheel), speed 300 -> 5, times 0.
        box = self.open_function(5, 10)
        self.d_centre(box, FIRE_FIELD)
        time.sleep(0.4)
        self.world.move(*self.item(box, FIRE_FIELD[0], FIRE_LIST_TOP, 3))
        for _ in range(20):
            self.world.xdotool("click", 5)
        time.sleep(0.3)
        self.shot("fire-list")
        self.world.click(*self.item(box, FIRE_FIELD[0], FIRE_LIST_TOP, 6))  # 55 - (61 - 12)
        time.sleep(0.3)
        self.d_centre(box, SPEED_EDIT)
        self.world.key("ctrl+a")
        self.world.xdotool("type", "300")
        self.d_centre(box, TIMES_EDIT)
        self.world.key("ctrl+a")
        self.world.key("BackSpace")
        time.sleep(0.3)
        self.shot("fire")
        self.ok(box)

        # Single Key: Caps Lock, pressed twice so later typing stays lower case.
        box = self.open_function(6, 11)
        self.world.key("Caps_Lock")
        self.world.key("Caps_Lock")
        time.sleep(0.3)
        self.shot("single")
        self.ok(box)
        # Cancel in the single-key dialog leaves the row as it is.
        row6 = self.look(row(6))
        box = self.open_function(6, 11)
        self.world.key("F5")
        self.cancel(box)
        self.wait_same(row(6), row6, "row 6 unchanged")
        self.shot("rows")

        calls = self.apply()
        combo = 0x05040100
        mode_a = _le_words(0x00F00001, 0x01920003, 0x00EA0003, 0x0005F10A, combo, 0x00390000, 0, 0,
                           0, 0, 0, 0, 0, 0, 0x00F70001, 0x00F80001)
        mode_b = FACTORY_MATRIX[:16] + _le_words(combo) + FACTORY_MATRIX[20:]
        config = self.read_config(program)
        check_apply_traffic(self, calls, config[1:], matrices={1: mode_a, 3: mode_b})
        texts = wd.read_utf16_ini(program.file("str.ini"))["Setting-EN"]
        self.assertEqual([texts.get(f"Item{b}") for b in range(1, 9)],
                         ["Left Click", "Calculator", "Multimedia-Vol-", "Combo Key-Left Ctrl+A+B", "Fire Key-R-Button",
                          "Single Key-Caps Lock", "Key Off", "Key Off"])
        self.assertEqual([texts.get(f"Item{b}3") for b in range(1, 9)],
                         FACTORY_TEXTS_EN[:3] + ["Combo Key-Left Ctrl+A+B"] + FACTORY_TEXTS_EN[4:])
        a = config[1:1 + 128]
        self.assertEqual(a[24 + 1], 2, "Windows position")
        self.assertEqual((a[40 + 1], a[32 + 1]), (1, 0x92), "Calculator's usage")
        self.assertEqual((a[48 + 4], a[56 + 4], a[64 + 4], a[72 + 4]), (55, 0xF1, 5, 0), "fire key, speed, times")
        self.assertEqual(self.exit_from_tray(program), 0)

    def test_keys_in_a_dialogs_list_and_a_long_typed_speed(self):
        program = self.program
        # Windows: Down moves the highlight and chooses nothing; Enter chooses.
        box = self.open_function(2, 8)
        field = (box[0] + CHOICE_FIELD[0], box[1] + CHOICE_FIELD[1], box[0] + CHOICE_FIELD[2], box[1] + CHOICE_FIELD[3])
        shown = self.world.grab().crop(field)
        self.d_centre(box, CHOICE_FIELD)
        time.sleep(0.4)
        self.world.move(box[0] + 10, box[1] + 10)  # the pointer off the list: only keys move it
        self.world.key("Down")
        self.world.key("Down")
        time.sleep(0.5)
        self.shot("windows-list-keys")
        self.assertEqual(self.dialog(), box, "a key in the list ended the dialog")
        self.assertEqual(wd.images_differ(self.world.grab().crop(field), shown), 0, "Down chose an entry")
        self.world.key("Return")
        wd.wait_for("Enter to choose the highlighted entry",
                    lambda: wd.images_differ(self.world.grab().crop(field), shown, 8) > 20, timeout=5)
        chosen = self.world.grab().crop(field)
        self.assertEqual(self.dialog(), box, "Enter in the list ended the dialog")
        # Esc closes the list without a choice and leaves the dialog open.
        self.d_centre(box, CHOICE_FIELD)
        time.sleep(0.4)
        self.world.move(box[0] + 10, box[1] + 10)
        self.world.key("Down")
        self.world.key("Escape")
        time.sleep(0.5)
        self.assertEqual(self.dialog(), box, "Esc in the list cancelled the dialog")
        self.assertEqual(wd.images_differ(self.world.grab().crop(field), chosen), 0, "Esc changed the choice")
        self.ok(box)

        # Fire Key: C from the keyboard, and a speed typed with 62 leading
        # zeros is checked as the whole number the user typed (200), not as
        # the 63 characters a short buffer would hold ("00...2").
        box = self.open_function(3, 10)
        self.d_centre(box, FIRE_FIELD)
        time.sleep(0.4)
        self.world.move(box[0] + 10, box[1] + 10)
        for _ in range(3):
            self.world.key("Down")
        self.world.key("Return")
        time.sleep(0.3)
        self.d_centre(box, SPEED_EDIT)
        self.world.key("ctrl+a")
        self.world.xdotool("type", "0" * 62 + "200")
        time.sleep(0.3)
        self.shot("fire-long-speed")
        self.ok(box)

        self.apply()
        texts = wd.read_utf16_ini(program.file("str.ini"))["Setting-EN"]
        self.assertEqual([texts.get("Item2"), texts.get("Item3")], ["Mail", "Fire Key-C"])
        a = self.read_config(program)[1:1 + 128]
        self.assertEqual((a[64 + 2], a[72 + 2]), (200, 1), "fire speed and times")
        self.assertEqual(self.exit_from_tray(program), 0)

    def test_every_dialog_in_chinese(self):
        # One program in each Chinese language; the English one leaves first.
        self.assertEqual(self.exit_from_tray(self.program), 0)
        for lang in ("CHS", "CHT"):
            with self.subTest(lang):
                try:
                    self.check_dialogs_in(lang)
                finally:
                    self._stop(self.program)  # a failed language leaves no program for the next

    def check_dialogs_in(self, lang):
        e = CHINESE[lang]
        folder = self.folder()
        wd.write_utf16_ini(os.path.join(folder, "record.ini"), MACROS)
        skin = wd.read_utf16_ini(os.path.join(folder, "str.ini"))["Skins"]
        colour = tuple(int(skin.get(k, "255")) for k in ("RColor", "GColor", "BColor"))
        program = self.program = self.launch(folder, lan=lang, expect_balloon=e["detected"])
        self.show(program)
        height = e["height"]

        # Windows and Multimedia: the entries in the language, the choice shown in the field.
        for function, name, list_id, static_id, choice in ((8, "windows", 533, 532, 10), (9, "media", 553, 552, 6)):
            box = self.open_function(2, function, height)
            window, controls = self.probed_dialog()
            self.check_static(controls[static_id], "", lang)
            self.check_drawn(window, [], lang, colour)
            self.d_centre(box, CHOICE_FIELD)
            listing = self.probed_list(list_id)
            self.check_entries(listing, e[name], lang)
            self.shot(f"{lang}-{name}-list")
            left, top = listing["rect"][:2]
            self.world.click(left + 30, top + 1 + height * choice + height // 2)
            wd.wait_for("the list to close", lambda: list_id not in self.probed_dialog()[1], timeout=10)
            self.check_static(self.probed_dialog()[1][static_id], e[name][choice], lang)
            self.cancel(box)

        # Fire Key: its labels and rules, the edits' start values, the key list.
        box = self.open_function(2, 10, height)
        window, controls = self.probed_dialog()
        self.assertEqual([controls[i]["text"] for i in (572, 574, 575)], ["", "32", "1"])
        speed, times, heading, speed_rule, times_rule = e["fire"]
        self.check_drawn(window, [(speed, (10, 120, 45, 134), RIGHT, WHITE), (times, (10, 170, 45, 184), RIGHT, WHITE),
                                  (heading, (20, 186, 368, 200), LEFT, WHITE),
                                  (speed_rule, (20, 200, 368, 214), LEFT, WHITE),
                                  (times_rule, (20, 214, 368, 242), WRAPPED_ANYWHERE, WHITE)], lang, colour)
        self.shot(f"{lang}-fire")
        self.d_centre(box, FIRE_FIELD)
        self.check_entries(self.probed_list(573), FIRE_KEYS, lang, draw=False)
        self.shot(f"{lang}-fire-list")
        self.cancel(box)

        # Single Key: the prompt.
        box = self.open_function(2, 11, height)
        window, controls = self.probed_dialog()
        self.assertEqual(controls[502]["text"], "")
        self.check_drawn(window, [(e["single"], (45, 108, 181, 124), CENTRED, WHITE)], lang, colour)
        self.shot(f"{lang}-single")
        self.cancel(box)

        # Combo Key: the modifier list is English in every language.
        box = self.open_function(2, 12, height)
        window, controls = self.probed_dialog()
        self.assertEqual([controls[i]["text"] for i in (512, 516, 517)], ["", "", ""])
        self.check_drawn(window, [], lang, colour)
        self.d_centre(box, COMBO_FIELD)
        self.check_entries(self.probed_list(515), MODIFIERS, lang, draw=False)
        self.shot(f"{lang}-combo-list")
        self.cancel(box)

        # Macro Key: the prompt, the three repeat modes, the macros of record.ini.
        box = self.open_function(2, 13, height)
        window, controls = self.probed_dialog()
        self.assertEqual(controls[592]["text"], "")
        prompt, *modes = e["macro"]
        self.check_drawn(window, [(prompt, (13, 113, 181, 129), CENTRED, WHITE)] +
                         [(m, (237, 70 + 50 * i, 390, 102 + 50 * i), WRAPPED, WHITE) for i, m in enumerate(modes)],
                         lang, colour)
        self.d_centre(box, MACRO_FIELD)
        self.check_entries(self.probed_list(593), list(MACROS), lang)
        self.shot(f"{lang}-macro-key")
        self.cancel(box)

        # Skins: the hint in the skin's colour, the current skin, the skin folders.
        program.click_rect(SKINS_BUTTON)
        box = self.dialog()
        window, controls = self.probed_dialog()
        self.check_static(controls[560], "Default", lang, fmt=0x20)  # SS_LEFT: top-left, one line
        self.check_drawn(window, [(e["skins"], (12, 64, 181, 94), CENTRED, colour)], lang, colour)
        self.d_centre(box, (42, 129, 151, 144))
        skins = self.probed_list(562)
        self.check_entries(skins, sorted(skins["list"]["entries"]), lang)  # drawn in folder order
        self.assertEqual(sorted(skins["list"]["entries"]), ["Default", "Ember"])
        self.shot(f"{lang}-skins")
        self.cancel(box)

        # Delay Time: from a delay line of a macro on the advanced page.
        title = self.look(PAGE_TITLE)
        program.click_rect(ADVANCED_TAB)
        program.wait_change(PAGE_TITLE, title, "the advanced page")
        main = [w for w in self.world.program_windows() if w["class"] != "#32770"]
        lists = {c["id"]: c for w in main for c in w["children"]}
        macros = lists[151]
        self.world.click(macros["rect"][0] + 30, macros["rect"][1] + 1 + macros["list"]["item_height"] // 2)
        def sequence():
            for w in self.world.program_windows():
                for c in w["children"]:
                    if c["id"] == 152 and c.get("list", {}).get("entries"):
                        return c
            return None
        lines = wd.wait_for("the macro's lines", sequence, timeout=10)
        self.assertEqual(lines["list"]["entries"], ["A   Dn", "50 ms", "A   Up"])
        h = lines["list"]["item_height"]
        self.world.move(lines["rect"][0] + 30, lines["rect"][1] + 1 + h + h // 2)
        self.world.xdotool("click", "--repeat", 2, "--delay", 80, 1)
        box = self.dialog()
        window, controls = self.probed_dialog()
        self.assertEqual(controls[600]["text"], "")
        prompt, hint = e["delay"]
        self.check_drawn(window, [(prompt, (14, 89, 210, 109), CENTRED, WHITE), (hint, (14, 109, 210, 129), CENTRED, WHITE)],
                         lang, colour)
        self.shot(f"{lang}-delay")
        self.cancel(box)
        self.assertEqual(self.exit_from_tray(program), 0)

    def test_a_dialog_without_its_face(self):
        os.remove(self.program.file(os.path.join("Skins", "Default", "fire-key.png")))
        self.open_list(row(2), key_list(2))
        self.program.click_client(*entry_point(key_list(2), 10))
        title = "FireKey Dialog Load background image failed!!!"
        wd.wait_for("the error box", lambda: self.world.visible_windows(name=title), timeout=10)
        self.shot("error")
        # The main window is disabled while the dialog starts, its box
        # included: Apply behind the box does nothing.
        mark = self.program.trace.mark()
        self.program.click_rect(APPLY)
        self.world.settle()
        time.sleep(0.5)
        self.assertEqual(self.program.trace.calls_since(mark), [], "Apply worked behind the dialog's error box")
        self.assertTrue(self.world.visible_windows(name=title), "the click went past the error box")
        self.world.key("Return")
        wd.wait_for("the error box to close", lambda: not self.world.visible_windows(name=title), timeout=10)
        # No dialog is left behind: the window takes clicks again.
        row2 = self.look(row(2))
        self.open_list(row(2), key_list(2))
        self.program.click_client(*entry_point(key_list(2), 15))  # Key Off
        self.world.move(*self.program.client_point(*EMPTY_SPOT))
        self.wait_changed(row(2), row2, "row 2 to take Key Off")
        self.assertEqual(self.exit_from_tray(self.program), 0)


if __name__ == "__main__":
    unittest.main()


class Preferences(DialogCase):
    """The Preferences dialog from the tray menu: every choice reaches str.ini
    (and the Run key), and the language changes the window, the dialogs and
    the tray menu at once."""

    def test_preferences_change_str_ini_and_the_language_at_once(self):
        run_key = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run"
        program = self.program = self.launch()
        # The installation's str.ini follows the system (English here).
        self.assertEqual(wd.read_utf16_ini(program.file("str.ini"))["Skins"]["Lan"], "SYS")
        self.show(program)
        self.assertTrue(self.light_texts() & LIGHT_MODES["EN"], self.light_texts())

        # Greyed while another dialog is up: a click on it opens nothing.
        program.click_rect(SKINS_BUTTON)
        skins = self.dialog()
        menu = self.open_tray_menu(program)
        self.shot("menu-with-a-dialog-up")
        self.world.click(*wd.menu_item_point(menu[0], wd.TRAY_PREFERENCES))
        time.sleep(1.5)
        self.assertNotIn(PREF_LANGUAGE_STATIC, self.probed_dialog()[1], "Preferences opened over another dialog")
        if program.popups():  # a click on a greyed item leaves the menu open
            self.world.key("Escape")
            wd.wait_for("the menu to close", lambda: not program.popups(), timeout=10)
        self.cancel(skins)

        box = self.open_preferences(program)
        self.world.move(*wd.PARKING_SPOT)
        time.sleep(0.4)
        self.shot("en")
        self.assertEqual(self.probed_dialog()[1][PREF_LANGUAGE_STATIC]["text"], "System default")
        # Cancel keeps everything as it was.
        self.d_centre(box, PREF_STYLE["Off"])
        self.cancel(box)
        self.assertNotIn("Notices", wd.read_utf16_ini(program.file("str.ini")))

        box = self.open_preferences(program)
        self.assertEqual(self.choose_language(box, 2), PREF_LANGUAGES)
        self.assertEqual(self.probed_dialog()[1][PREF_LANGUAGE_STATIC]["text"], "简体中文")
        for rect in (PREF_STYLE["Balloons"], PREF_PLACE["BottomRight"], PREF_START, PREF_AUTOMATIC):
            self.d_centre(box, rect)
        # Show me: the sample panel at the place chosen, even with balloons chosen.
        self.d_centre(box, PREF_SHOW_ME)
        panel = wd.wait_for("the sample notice", lambda: [
            w for w in self.world.program_windows() if w["class"] == "KovralOnScreenDisplay"], timeout=5)[0]
        self.assertIn("DPI", panel["text"])
        self.assertGreater(panel["rect"][0], self.world.screen[0] // 2, "not on the right")
        self.assertGreater(panel["rect"][1], self.world.screen[1] // 2, "not at the bottom")
        time.sleep(0.3)
        self.shot("en-chosen")
        self.ok(box)
        self.world.settle()
        ini = wd.wait_for("str.ini with the choices", lambda: self.settled_ini(program, "Notices"), timeout=10)
        self.assertEqual(ini["Skins"]["Lan"], "CHS")
        self.assertEqual(ini["Notices"], {"Style": "Balloons", "Position": "BottomRight"})
        self.assertEqual(ini["Profiles"].get("Automatic"), "0")
        self.assertEqual(ini["Profiles"].get("Notices"), "1")
        self.assertIn("Kovral", self.world.registry(run_key))
        # The shown page is in Chinese at once, and so are the rows' texts.
        wd.wait_for("the page in Chinese", lambda: self.light_texts() & LIGHT_MODES["CHS"], timeout=10)
        self.assertFalse(self.light_texts() & LIGHT_MODES["EN"])
        self.assertEqual(ini["Setting-CHS"]["Item1"], "左键")
        self.world.move(*program.client_point(*EMPTY_SPOT))
        self.shot("page-chs")

        # The tray menu and the next dialog too.
        menu = self.open_tray_menu(program)
        self.shot("menu-chs")
        self.world.key("Escape")
        wd.wait_for("the menu to close", lambda: not program.popups(), timeout=10)
        box = self.open_preferences(program)
        window, controls = self.probed_dialog()
        self.assertEqual(controls[PREF_LANGUAGE_STATIC]["text"], "简体中文")
        self.check_drawn(window, [], "CHS", WHITE)
        self.shot("chs")
        # The box shows the Run key's value, and clearing it removes the value.
        self.d_centre(box, PREF_START)
        self.ok(box)
        self.assertNotIn("Kovral", self.world.registry(run_key))
        self.assertEqual(self.exit_from_tray(program), 0)
