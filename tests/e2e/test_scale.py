"""The program at display scales above 100 %: the window, its pictures and
its texts at the scale, and clicks at the scaled rectangles doing what they
do at 96 DPI. CI runs 144 DPI in English; KOVRAL_E2E_SCALES=all adds 120 in
Traditional and 192 in Simplified Chinese."""

import os
import time
import unittest

import test_basic_page
import test_dialogs
import winedesk as wd
from test_basic_page import ITEM_HEIGHT
from test_dialogs import (CHINESE, CHOICE_FIELD, COMBO_FIELD, COMBO_LIST_TOP, D_CANCEL, FIRST_KEY, SECOND_KEY,
                          SKINS_BUTTON, DialogCase)
from test_program import ADVANCED_TAB, BASIC_TAB, DETECTED_EN, EMPTY_SPOT, PAGE_TITLE, SHOTS

ALL_SCALES = os.environ.get("KOVRAL_E2E_SCALES", "") == "all"
# The main window's size at 96 DPI, the size of the 1x "/main.png".
MAIN_SIZE = (880, 650)


class ScaleLooks(DialogCase):
    """Both pages and two dialogs at one scale, in one language: their sizes
    and the screenshots."""

    DPI = 144
    LAN = None  # English; "CHS" or "CHT"

    def setUp(self):
        notice = CHINESE[self.LAN]["detected"] if self.LAN else DETECTED_EN
        self.program = self.launch(lan=self.LAN, expect_balloon=notice)
        # The notification-area icon (top left under Wine without a window
        # manager, where the window covers it once shown), drawn from the icon
        # file's picture for the scale.
        self.world.grab().crop((0, 0, 160, 120)).save(os.path.join(SHOTS, self.name("tray-icon")))
        self.show(self.program)
        self.world.move(*self.program.client_point(*EMPTY_SPOT))

    def dialog_shot(self, box, what):
        """Saves the dialog once two looks at it a moment apart agree."""
        def crop():
            return self.world.grab().crop((box[0], box[1], box[0] + box[2], box[1] + box[3]))
        last = [crop()]

        def still():
            time.sleep(0.1)
            now = crop()
            same = wd.images_differ(now, last[0]) == 0
            last[0] = now
            return same
        wd.wait_for("the dialog to stop changing", still, timeout=5)
        last[0].save(os.path.join(SHOTS, self.name(what)))

    def name(self, what):
        return f"scale-{self.DPI}{'-' + self.LAN if self.LAN else ''}.{what}.png"

    def test_window_and_both_pages_at_the_scale(self):
        program = self.program
        win = program.main_window()
        self.assertEqual((win[2], win[3]), (program.device(MAIN_SIZE[0]), program.device(MAIN_SIZE[1])),
                         "the window is not the scaled size of its picture")
        program.wait_still()
        program.grab_client().save(os.path.join(SHOTS, self.name("basic-page")))
        title = self.look(PAGE_TITLE)
        program.click_rect(ADVANCED_TAB)
        program.wait_change(PAGE_TITLE, title, "the advanced page")
        self.world.move(*program.client_point(*EMPTY_SPOT))
        program.wait_still()
        program.grab_client().save(os.path.join(SHOTS, self.name("advanced-page")))
        title = self.look(PAGE_TITLE)
        program.click_rect(BASIC_TAB)
        program.wait_change(PAGE_TITLE, title, "the basic page")
        # The skins dialog: its face's scaled size, centred over the window.
        program.click_rect(SKINS_BUTTON)
        box = self.dialog()
        self.assertEqual(abs((box[0] + box[2] // 2) - (win[0] + win[2] // 2)) <= 1, True, "not centred")
        self.dialog_shot(box, "skins-dialog")
        self.d_centre(box, D_CANCEL)
        self.dialog_gone()
        # Fire Key, the dialog with the longest texts, reached through the key
        # list whose entries are as high as the language's font.
        height = CHINESE[self.LAN]["height"] if self.LAN else ITEM_HEIGHT
        box = self.open_function(2, 10, height)
        self.dialog_shot(box, "fire-dialog")
        self.cancel(box)
        # The longest values: "Browser-My Favorites" in the Windows list and
        # box; a Combo key the row cuts with "..." before its arrow.
        box = self.open_function(2, 8, height)
        self.d_centre(box, CHOICE_FIELD)
        self.dialog_shot(box, "windows-list")
        listing = [c for w in self.world.program_windows() for c in w["children"] if c["id"] == 533][0]
        item = listing["list"]["item_height"]
        self.world.click(listing["rect"][0] + 30, listing["rect"][1] + 1 + item * 10 + item // 2)
        self.dialog_shot(box, "windows-dialog")
        self.ok(box)
        box = self.open_function(3, 12, height)
        self.d_centre(box, COMBO_FIELD)
        time.sleep(0.4)
        self.world.click(box[0] + self.program.device(80),
                         box[1] + self.program.device(COMBO_LIST_TOP + 1) + height * 5 + height // 2)  # Right Shift
        self.d_centre(box, FIRST_KEY)
        self.world.key("Next")
        self.d_centre(box, SECOND_KEY)
        self.world.key("Scroll_Lock")
        self.dialog_shot(box, "combo-dialog")
        self.ok(box)
        self.program.wait_still()
        self.program.grab_client().save(os.path.join(SHOTS, self.name("long-rows")))


    def test_preferences_in_the_language_then_in_chinese(self):
        """The Preferences dialog at the scale, then again after its own
        choice of Simplified Chinese."""
        # At 200 % the window covers the notification-area icon in the corner.
        if self.program.main_window() is not None:
            self.world.key("Escape")
            self.program.wait_hidden()
        box = self.open_preferences(self.program)
        self.world.move(*wd.PARKING_SPOT)
        self.dialog_shot(box, "preferences")
        self.choose_language(box, 2)
        self.ok(box)
        box = self.open_preferences(self.program)
        self.world.move(*wd.PARKING_SPOT)
        self.dialog_shot(box, "preferences-after-chs")
        self.assertEqual(self.probed_dialog()[1][test_dialogs.PREF_LANGUAGE_STATIC]["text"], "简体中文")
        self.cancel(box)


@unittest.skipUnless(ALL_SCALES, "KOVRAL_E2E_SCALES=all runs 120 DPI")
class ScaleLooks120(ScaleLooks):
    DPI = 120
    LAN = "CHT"


@unittest.skipUnless(ALL_SCALES, "KOVRAL_E2E_SCALES=all runs 192 DPI")
class ScaleLooks192(ScaleLooks):
    DPI = 192
    LAN = "CHS"


# The flows of the pages and a dialog at 150 %, with their byte checks: every
# click lands at a scaled rectangle.
class BasicPageAt144(test_basic_page.BasicPage):
    DPI = 144


class AdvancedPageAt144(test_basic_page.AdvancedPage):
    DPI = 144


class DialogsAt144(test_dialogs.DialogCase):
    """The dialog flow with its byte checks; the other dialog tests measure
    fonts and boxes in 96-DPI pixels and run at 96 only."""
    DPI = 144

    setUp = test_dialogs.Dialogs.setUp
    test_every_dialog_in_both_modes = test_dialogs.Dialogs.test_every_dialog_in_both_modes


if __name__ == "__main__":
    unittest.main()
