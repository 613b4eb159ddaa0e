"""End-to-end tests of the assignment dialogs, driven with the pointer and
the keyboard from the basic page's rows; what they store is checked in the
simulator's trace, config.bin and str.ini byte for byte."""

import os
import time
import unittest

import winedesk as wd
from test_basic_page import ITEM_HEIGHT, MODE_A, MODE_B, PageCase, entry_point, key_list, row
from test_program import APPLY, DETECTED_CHS, EMPTY_SPOT, FACTORY_MATRIX, FACTORY_TEXTS_EN, _le_words, check_apply_traffic

# Dialog client rectangles.
D_OK = (166, 253, 271, 274)
D_CANCEL = (270, 253, 375, 274)
CHOICE_FIELD = (43, 129, 151, 143)
CHOICE_LIST_TOP = 145
FIRE_FIELD = (50, 70, 132, 84)
FIRE_LIST_TOP = 86
SPEED_EDIT = (50, 120, 131, 134)
TIMES_EDIT = (50, 170, 131, 184)
COMBO_FIELD = (50, 70, 132, 84)
COMBO_LIST_TOP = 86
FIRST_KEY = (50, 120, 131, 134)
SECOND_KEY = (50, 170, 131, 184)


# The 13-point "宋体" of Simplified Chinese gives 13-pixel entries.
CHS_ITEM_HEIGHT = 13


class DialogCase(PageCase):
    """Helpers for the program's dialogs; the tests live in subclasses."""

    def dialog(self):
        """(x, y, w, h) of the open dialog: the program's window of a dialog's size."""
        def find():
            for _, x, y, w, h in self.world.visible_windows():
                if 300 <= w <= 420 and 250 <= h <= 340:
                    return (x, y, w, h)
            return None
        return wd.wait_for("a dialog", find, timeout=10)

    def dialog_gone(self):
        wd.wait_for("the dialog to close", lambda: not any(
            300 <= w <= 420 and 250 <= h <= 340 for _, _, _, w, h in self.world.visible_windows()), timeout=10)

    def d_click(self, box, x, y):
        self.world.click(box[0] + x, box[1] + y)

    def d_centre(self, box, rect):
        self.d_click(box, (rect[0] + rect[2]) // 2, (rect[1] + rect[3]) // 2)

    def open_function(self, k, index, height=ITEM_HEIGHT):
        """Chooses a function of row k that opens a dialog; returns the dialog."""
        area = key_list(k)
        self.open_list(row(k), area)
        self.program.click_client(*entry_point(area, index, height))
        return self.dialog()

    def item(self, box, list_left, list_top, index):
        return (box[0] + list_left + 30, box[1] + list_top + 1 + ITEM_HEIGHT * index + ITEM_HEIGHT // 2)

    def ok(self, box):
        self.d_centre(box, D_OK)
        self.dialog_gone()
        self.world.move(*self.program.client_point(*EMPTY_SPOT))

    def cancel(self, box):
        self.d_centre(box, D_CANCEL)
        self.dialog_gone()
        self.world.move(*self.program.client_point(*EMPTY_SPOT))

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
        # A second program in Simplified Chinese; the first one leaves.
        self.assertEqual(self.exit_from_tray(self.program), 0)
        self.program = self.launch(lan="CHS", expect_balloon=DETECTED_CHS)
        self.show(self.program)
        for function, name in ((8, "windows"), (9, "media"), (10, "fire"), (11, "single"), (12, "combo")):
            box = self.open_function(2, function, CHS_ITEM_HEIGHT)
            field = {8: CHOICE_FIELD, 9: CHOICE_FIELD, 10: FIRE_FIELD, 12: COMBO_FIELD}.get(function)
            if field:
                self.d_centre(box, field)
                time.sleep(0.4)
            self.shot(f"chs-{name}")
            self.cancel(box)
        self.assertEqual(self.exit_from_tray(self.program), 0)

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
