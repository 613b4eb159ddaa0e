"""End-to-end tests of the skin chooser: a skin and a text colour chosen with
the pointer, kept in str.ini and drawn at once and after a restart; an
incomplete skin refused when chosen. (An incomplete skin named in str.ini is
test_program's.)"""

import os
import shutil
import time
import unittest

import winedesk as wd
from test_basic_page import key_list, row, entry_point
from test_dialogs import CHOICE_FIELD, DialogCase
from test_program import ADVANCED_TAB, BASIC_TAB, DETECTED_CHS, EMPTY_SPOT

SKINS_BUTTON = (701, 5, 719, 23)
# Skins dialog client rectangles.
SKIN_FIELD = (42, 129, 151, 144)
SKIN_LIST_TOP = 146
SKIN_LIST = (42, 146, 151, 266)
SWATCH = (42, 94, 151, 110)
SKIN_NAME = (43, 129, 135, 144)
# Part of the basic page the skin draws (key rows and their panel).
PAGE_SAMPLE = (246, 150, 470, 340)
WARNING = "Warning"
INCOMPLETE = "This skin is incomplete."


def skins_of(program):
    return wd.read_utf16_ini(program.file("str.ini")).get("Skins", {})


class Skins(DialogCase):

    def setUp(self):
        folder = self.folder()
        # A skin folder one picture short, and a file that is no skin.
        broken = os.path.join(folder, "Skins", "Broken")
        shutil.copytree(os.path.join(folder, "Skins", "Default"), broken)
        os.remove(os.path.join(broken, "skins.png"))
        with open(os.path.join(folder, "Skins", "notes.txt"), "w") as f:
            f.write("not a skin")
        self.install = folder
        self.world.move(*wd.PARKING_SPOT)
        self.program = self.new_program(folder, ["--pick-color", "F0E0D0"]).start()
        self.addCleanup(self._stop, self.program)
        self.addCleanup(self._shot_if_failed)
        self.wait_started(self.program)
        self.show(self.program)
        self.world.move(*self.program.client_point(*EMPTY_SPOT))

    def dismiss_warning(self):
        """Closes the Warning box with the pointer on its OK."""
        _, x, y, w, h = wd.wait_for("the warning", lambda: self.world.visible_windows(name=WARNING), timeout=60)[0]
        self.world.click(x + w // 2, y + h - 20)
        wd.wait_for("the warning to close", lambda: not self.world.visible_windows(name=WARNING), timeout=10)

    def open_skins(self):
        self.program.click_rect(SKINS_BUTTON)
        return self.dialog()

    def dialog_look(self, box, rect):
        x, y = box[0], box[1]
        return self.world.grab().crop((x + rect[0], y + rect[1], x + rect[2], y + rect[3]))

    def name_look(self, box):
        return self.dialog_look(box, SKIN_NAME)

    def choose_entry(self, box, index, initial):
        """Opens the list and clicks entry `index`: "refused", or whether the
        name differs from `initial` (the look of the name at the start)."""
        mark = self.name_look(box)
        self.d_centre(box, SKIN_FIELD)
        time.sleep(0.4)
        self.world.click(*self.item(box, SKIN_FIELD[0], SKIN_LIST_TOP, index))
        time.sleep(0.5)
        if self.world.visible_windows(name=WARNING):
            self.shot("incomplete")
            self.dismiss_warning()
            self.assertEqual(wd.images_differ(self.name_look(box), mark), 0, "a refused skin leaves the name")
            return "refused"
        return "changed" if wd.images_differ(self.name_look(box), initial, 8) > 20 else "same"

    def test_choose_a_skin_and_colour_keep_them_and_cancel_changes_nothing(self):
        program = self.program
        before_ini = skins_of(program)
        page = self.look(PAGE_SAMPLE)
        # The list follows the file system's order: find Ember and Broken by trying each entry.
        box = self.open_skins()
        initial = self.name_look(box)
        outcomes = [self.choose_entry(box, i, initial) for i in range(3)]
        self.assertEqual(sorted(outcomes), ["changed", "refused", "same"], outcomes)
        ember = outcomes.index("changed")
        self.d_centre(box, SWATCH)  # answered with F0E0D0 in simulated-mouse mode
        time.sleep(0.4)
        self.shot("dialog-chosen")
        self.cancel(box)
        self.assertEqual(skins_of(program), before_ini, "Cancel writes nothing")
        self.wait_same(PAGE_SAMPLE, page, "the page unchanged after Cancel")

        # Esc with the list open closes the list and keeps the dialog; the
        # next Esc cancels it, and the next dialog starts with the list closed.
        box = self.open_skins()
        closed = self.dialog_look(box, SKIN_LIST)
        self.d_centre(box, SKIN_FIELD)
        wd.wait_for("the list to open", lambda: wd.images_differ(self.dialog_look(box, SKIN_LIST), closed, 8) > 20,
                    timeout=5)
        self.world.key("Escape")
        wd.wait_for("Esc to close the list", lambda: wd.images_differ(self.dialog_look(box, SKIN_LIST), closed) == 0,
                    timeout=5)
        self.assertEqual(self.dialog(), box, "Esc in the open list ended the dialog")
        self.world.key("Escape")
        self.dialog_gone()
        box = self.open_skins()
        closed = self.dialog_look(box, SKIN_LIST)
        self.d_centre(box, SKIN_FIELD)
        wd.wait_for("the list to open with one click",
                    lambda: wd.images_differ(self.dialog_look(box, SKIN_LIST), closed, 8) > 20, timeout=5)
        self.d_centre(box, SKIN_FIELD)  # and to close with the next
        wd.wait_for("the list to close", lambda: wd.images_differ(self.dialog_look(box, SKIN_LIST), closed) == 0,
                    timeout=5)
        self.assertEqual(self.choose_entry(box, ember, self.name_look(box)), "changed")
        self.d_centre(box, SWATCH)
        time.sleep(0.4)
        self.ok(box)
        skins = skins_of(program)
        self.assertEqual((skins.get("RColor"), skins.get("GColor"), skins.get("BColor"), skins.get("Path")),
                         ("240", "224", "208", "Ember"))
        self.assertEqual(skins.get("Lan", ""), before_ini.get("Lan", ""))
        self.wait_changed(PAGE_SAMPLE, page, "the basic page in the new skin")
        ember_page = self.look(PAGE_SAMPLE)
        self.shot("basic")
        program.click_rect(ADVANCED_TAB)
        time.sleep(0.8)
        self.shot("advanced")
        program.click_rect(BASIC_TAB)
        time.sleep(0.8)
        self.open_list(row(2), key_list(2))
        program.click_client(*entry_point(key_list(2), 8))  # Windows: a dialog in the new skin
        box = self.dialog()
        self.d_centre(box, CHOICE_FIELD)
        time.sleep(0.4)
        self.shot("windows-dialog")
        self.cancel(box)
        box = self.open_skins()
        self.shot("skins-dialog")
        self.cancel(box)

        # A restart keeps the skin and the colour: the page looks as it did.
        self.assertEqual(self.exit_from_tray(program), 0)
        self.program = self.launch(folder=self.install)
        self.show(self.program)
        self.world.move(*self.program.client_point(*EMPTY_SPOT))
        self.wait_same(PAGE_SAMPLE, ember_page, "the new skin after a restart")
        self.assertFalse(self.world.visible_windows(name=WARNING))
        self.shot("restarted")
        self.assertEqual(self.exit_from_tray(self.program), 0)

        # Readable in both Chinese languages too.
        for lan, notice in (("CHS", DETECTED_CHS), ("CHT", "系統檢測到遊戲滑鼠。")):
            self.program = self.launch(folder=self.install, lan=lan, expect_balloon=notice)
            self.show(self.program)
            self.world.move(*self.program.client_point(*EMPTY_SPOT))
            time.sleep(0.8)
            self.shot(f"{lan.lower()}-basic")
            self.program.click_rect(ADVANCED_TAB)
            time.sleep(0.8)
            self.shot(f"{lan.lower()}-advanced")
            box = self.open_skins()
            self.d_centre(box, SKIN_FIELD)
            time.sleep(0.4)
            self.shot(f"{lan.lower()}-skins-dialog")
            self.cancel(box)
            self.assertEqual(self.exit_from_tray(self.program), 0)


if __name__ == "__main__":
    unittest.main()
