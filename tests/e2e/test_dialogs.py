"""End-to-end tests of the assignment dialogs, driven with the pointer and
the keyboard from the basic page's rows; what they store is checked in the
simulator's trace, config.bin and str.ini byte for byte."""

import os
import time
import unittest

import winedesk as wd
from test_basic_page import ITEM_HEIGHT, MODE_B, PageCase, entry_point, key_list, row
from test_program import EMPTY_SPOT, FACTORY_MATRIX, FACTORY_TEXTS_EN, _le_words, check_apply_traffic

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


class Dialogs(PageCase):

    def setUp(self):
        self.start_shown([])

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

    def open_function(self, k, index):
        """Chooses a function of row k that opens a dialog; returns the dialog."""
        area = key_list(k)
        self.open_list(row(k), area)
        self.program.click_client(*entry_point(area, index))
        return self.dialog()

    def test_probe(self):
        box = self.open_function(2, 11)  # Single Key
        self.shot("single")
        self.world.key("Caps_Lock")
        time.sleep(0.5)
        self.world.key("Caps_Lock")
        time.sleep(0.5)
        self.shot("single-caps")
        self.d_centre(box, D_OK)
        self.dialog_gone()
        self.world.move(*self.program.client_point(*EMPTY_SPOT))
        time.sleep(0.5)
        self.shot("after")
        self.assertEqual(self.exit_from_tray(self.program), 0)


if __name__ == "__main__":
    unittest.main()
