"""End-to-end tests of the basic settings page, driven with the pointer: the
button rows and their lists, the modes, the report rate, the DPI stages and
the lighting, then Apply, checked in the simulator's trace, config.bin and
str.ini byte for byte."""

import os
import time
import unittest

import winedesk as wd
from test_program import (ADVANCED_TAB, APPLY, BASIC_TAB, CANCEL, OK, PAGE_TITLE, CONFIG_SIZE, DIST, EMPTY_SPOT, FACTORY_MATRIX, FACTORY_TEXTS_EN,
                          ProgramCase, _le_words, centre, check_apply_traffic)

# Under Wine the lists' 14-point Arial entries are 14 pixels high; a list's
# entries start one pixel (its border) below its top.
ITEM_HEIGHT = 14
MODE_A = (253, 518, 358, 539)
MODE_B = (357, 518, 462, 539)
KEY_DEFAULT = (307, 549, 412, 570)
LIGHT_BOXES = [(767, 330, 851, 344), (767, 360, 851, 374), (767, 390, 851, 404)]
LIGHT_LISTS = [(766, 347, 851, 407), (767, 377, 851, 374 + 203), (766, 407, 851, 447)]


def row(k):
    top = 199 + 23 * (k - 1)
    return (252, top, 463, top + 21)


def key_list(k):
    r = row(k)
    return (252, r[3] + 1, 463, r[3] + 271)


def entry_point(list_rect, index, height=ITEM_HEIGHT):
    return (list_rect[0] + 40, list_rect[1] + 1 + height * index + height // 2)


def report_rate(r):
    left = 542 + 72 * (r - 1)
    return (left, 204, left + 70, 215)


def dpi_cell(s, level):
    left = 554 + 27 * (s - 1)
    top = 500 - 18 * (level - 1)
    return (left, top, left + 16, top + 16)


def dpi_box(s):
    left = 554 + 27 * (s - 1)
    return (left, 541, left + 16, 557)


def dpi_pane(s):
    left = 554 + 27 * (s - 1)
    return (left, 523, left + 16, 539)


def config_offset(field):
    return 1 + field


class PageCase(ProgramCase):
    """Helpers for driving the basic page; the tests live in subclasses."""

    def start_shown(self, args):
        self.program = self.launch_with(args)
        self.show(self.program)
        self.world.move(*self.program.client_point(*EMPTY_SPOT))

    def launch_with(self, args):
        folder = self.folder()
        self.world.move(*wd.PARKING_SPOT)
        program = self.new_program(folder, args).start()
        self.addCleanup(self._stop, program)
        self.addCleanup(self._shot_if_failed)
        self.wait_started(program)
        return program

    # -- helpers -----------------------------------------------------------
    def look(self, rect):
        return self.program.grab_client(rect)

    def wait_changed(self, rect, before, what):
        wd.wait_for(what, lambda: wd.images_differ(self.look(rect), before, 8) > 20, timeout=5)

    def wait_same(self, rect, before, what):
        wd.wait_for(what, lambda: wd.images_differ(self.look(rect), before) == 0, timeout=5)

    def open_list(self, box, area):
        """Clicks a box and waits for its list to cover `area`."""
        before = self.look(area)
        self.program.click_rect(box)
        self.wait_changed(area, before, f"the list under {box}")
        return before

    def choose(self, k, index):
        """Chooses entry `index` of button row k's list and waits for it to go."""
        area = key_list(k)
        empty = self.open_list(row(k), area)
        self.program.click_client(*entry_point(area, index))
        self.world.move(*self.program.client_point(*EMPTY_SPOT))
        self.wait_same(area, empty, f"row {k}'s list to close")

    def apply(self):
        mark = self.program.trace.mark()
        self.program.click_rect(APPLY)
        self.wait_config_flag(self.program)
        return self.program.trace.calls_since(mark)


def colour_dialog_rgb(world):
    """The Red, Green and Blue boxes of the open system colour dialog."""
    for w in world.program_windows():
        boxes = {c["id"]: c["text"] for c in w["children"]}
        if w["text"] == "Color" and all(i in boxes for i in (706, 707, 708)):
            return [boxes[706], boxes[707], boxes[708]]
    return None


class BasicPage(PageCase):

    def setUp(self):
        # The colour dialog answers 12 34 56, except in the test that looks at
        # the real one.
        real_dialog = self._testMethodName == "test_button_functions_modes_and_default"
        self.start_shown([] if real_dialog else ["--pick-color", "123456"])

    def test_button_functions_modes_and_default(self):
        program = self.program
        # The only left click cannot be given away.
        program.click_rect(row(1))
        box = wd.wait_for("the Warning", lambda: self.world.visible_windows(name="Warning"), timeout=10)
        self.shot("left-key-warning")
        self.world.key("Return")
        wd.wait_for("the Warning to close", lambda: not self.world.visible_windows(name="Warning"), timeout=10)
        self.assertTrue(box)

        self.choose(2, 0)  # Left Click: now button 1 may change
        self.choose(1, 5)  # Triple-click
        # "DPI Switch" opens the DPI sub-list beside itself.
        area = key_list(3)
        sub = (462, area[1] + 1 + 6 * ITEM_HEIGHT, 522, area[1] + 1 + 6 * ITEM_HEIGHT + 60)
        page_there = self.look(sub)
        empty = self.open_list(row(3), area)
        self.shot("key-list")
        self.world.move(*program.client_point(*entry_point(area, 6)))
        self.wait_changed(sub, page_there, "the DPI sub-list")
        self.shot("dpi-sub-list")
        program.click_client(sub[0] + 20, sub[1] + 1 + ITEM_HEIGHT + ITEM_HEIGHT // 2)  # "DPI -"
        self.world.move(*program.client_point(*EMPTY_SPOT))
        self.wait_same(area, empty, "row 3's list to close")
        self.choose(4, 7)   # RGB On/Off
        self.choose(5, 14)  # Shift, in both modes
        self.choose(6, 15)  # Key Off
        self.choose(6, 14)  # a second Shift changes nothing

        calls = self.apply()
        mode_a = _le_words(0x0322F00A, 0x00F00001, 0x00020007, 0x00020008, 0x00030008, 0, 0, 0,
                           0, 0, 0, 0, 0, 0, 0x00F70001, 0x00F80001)
        mode_b = FACTORY_MATRIX[:12] + _le_words(0x00020008) + FACTORY_MATRIX[16:]
        config = self.read_config(program)
        check_apply_traffic(self, calls, config[1:], matrices={1: mode_a, 3: mode_b})
        self.assertEqual(list(config[1:9]), [5, 0, 6, 7, 14, 15, 15, 15], "Mode A functions")
        self.assertEqual(config[config_offset(1833 + 2)], 2, "button 3's DPI action")
        self.assertEqual(list(config[config_offset(1705):config_offset(1705) + 8]), [0, 1, 2, 3, 14, 6, 15, 15])
        texts = wd.read_utf16_ini(program.file("str.ini"))["Setting-EN"]
        self.assertEqual([texts.get(f"Item{b}") for b in range(1, 9)],
                         ["Triple-click", "Left Click", "DPI -", "RGB On/Off", "Shift", "Key Off", "Key Off", "Key Off"])
        self.assertEqual([texts.get(f"Item{b}3") for b in range(1, 9)],
                         FACTORY_TEXTS_EN[:4] + ["Shift"] + FACTORY_TEXTS_EN[5:])

        # Mode B shows its own rows; Default restores both modes and keeps the tab.
        rows_a = self.look((252, 199, 463, 337))
        program.click_rect(MODE_B)
        self.wait_changed((252, 199, 463, 337), rows_a, "the rows of Mode B")
        self.shot("mode-b")
        program.click_rect(KEY_DEFAULT)
        calls = self.apply()
        config = self.read_config(program)
        check_apply_traffic(self, calls, config[1:])
        self.assertEqual(config[config_offset(1704)], 1, "the edited mode")
        texts = wd.read_utf16_ini(program.file("str.ini"))["Setting-EN"]
        self.assertEqual([texts.get(f"Item{b}") for b in range(1, 9)], FACTORY_TEXTS_EN)

        # The system's colour dialog, once: Cancel leaves the stage's colour.
        pane = self.look(dpi_pane(1))
        program.click_rect(dpi_pane(1))
        wd.wait_for("the colour dialog", lambda: self.world.visible_windows(name="Color"), timeout=15)
        self.shot("colour-dialog")
        self.assertEqual(colour_dialog_rgb(self.world), ["255", "0", "0"], "not opened at stage 1's red")
        self.world.key("Escape")
        wd.wait_for("the colour dialog to close", lambda: not self.world.visible_windows(name="Color"), timeout=15)
        self.world.move(*program.client_point(*EMPTY_SPOT))
        self.wait_same(dpi_pane(1), pane, "stage 1's colour unchanged")
        self.assertEqual(self.exit_from_tray(program), 0)

    def test_keys_in_a_buttons_open_list(self):
        program = self.program
        # The list takes the focus when it opens; the pointer stays on the row,
        # off the list, so only the keys move its highlight.
        area = key_list(2)
        mark = program.trace.mark()
        empty = self.open_list(row(2), area)
        row2 = self.look(row(2))  # the open row's look, with the list's text in it
        self.world.key("Down")  # the highlight on "Left Click"
        time.sleep(0.5)
        self.shot("down-in-the-list")
        self.assertEqual(wd.images_differ(self.look(row(2)), row2), 0, "Down assigned a function")
        self.assertGreater(wd.images_differ(self.look(area), empty, 8), 20, "Down closed the list")
        self.world.key("Down")
        self.world.key("Down")  # "Mid Click"
        self.world.key("Return")
        self.world.move(*program.client_point(*EMPTY_SPOT))
        self.wait_same(area, empty, "Enter to close row 2's list")
        self.wait_changed(row(2), row2, "row 2 to take the highlighted entry")
        self.assertIsNotNone(program.main_window(), "Enter in the list hid the window")

        # A typed letter moves to "Single Key" and opens no dialog; Esc closes
        # the list without a choice, and the window stays.
        empty3 = self.open_list(row(3), key_list(3))
        self.world.key("s")
        time.sleep(1.0)
        self.assertEqual([w for w in self.world.visible_windows() if self.program.sized(w[3], 300, 420) and self.program.sized(w[4], 250, 340)], [],
                         "a typed letter opened a dialog")
        self.world.key("Escape")
        self.world.move(*program.client_point(*EMPTY_SPOT))
        self.wait_same(key_list(3), empty3, "Esc to close row 3's list")
        self.assertIsNotNone(program.main_window(), "Esc in the list hid the window")
        self.assertEqual(program.trace.calls_since(mark), [], "a key in a list reached the mouse")
        # Button 3 keeps "Mid Click" through the typed letter and Esc.

        self.apply()
        config = self.read_config(program)
        self.assertEqual(list(config[1:4]), [0, 2, 2], "Mode A functions of buttons 1 to 3")
        texts = wd.read_utf16_ini(program.file("str.ini"))["Setting-EN"]
        self.assertEqual([texts.get(f"Item{b}") for b in range(1, 4)], ["Left Click", "Mid Click", "Mid Click"])
        self.assertEqual(self.exit_from_tray(program), 0)

    def test_report_rate_dpi_stages_and_lighting(self):
        program = self.program
        program.click_rect(report_rate(3))  # 500 Hz
        program.click_rect(dpi_cell(1, 6))
        program.click_rect(dpi_box(2))      # stage 2 off
        column4 = self.look((635, 302, 651, 557))
        program.click_rect(dpi_box(4))      # stage 4 off and on again
        self.wait_changed((635, 302, 651, 557), column4, "stage 4 to switch off")
        program.click_rect(dpi_box(4))
        self.wait_same((635, 302, 651, 557), column4, "stage 4 to switch on again")
        program.click_rect(dpi_pane(2))     # a stage that is off takes no colour
        pane3 = self.look(dpi_pane(3))
        program.click_rect(dpi_pane(3))     # the colour dialog answers 12 34 56
        self.wait_changed(dpi_pane(3), pane3, "stage 3's new colour")
        r, g, b = self.look(dpi_pane(3)).convert("RGB").getpixel((8, 8))
        self.assertEqual((r, g, b), (0x12, 0x34, 0x56))

        # Lighting: Neon, its period, its effect.
        self.open_list(LIGHT_BOXES[0], LIGHT_LISTS[0])
        self.shot("lighting-list")
        program.click_client(*entry_point(LIGHT_LISTS[0], 2))
        params = (767, 377, 851, 580)
        time.sleep(0.3)
        self.open_list(LIGHT_BOXES[1], (767, 380, 851, 470))
        # Thirty periods in a shorter box: the wheel scrolls them.
        self.world.move(*program.client_point(800, 450))
        time.sleep(0.2)
        shown = self.look(params)
        self.world.xdotool("click", 5)
        self.wait_changed(params, shown, "the period list to scroll")
        self.world.xdotool("click", 4)
        self.wait_same(params, shown, "the period list to scroll back")
        self.shot("period-list")
        program.click_client(*entry_point((767, 377, 851, 580), 5))  # "3S"
        time.sleep(0.3)
        self.open_list(LIGHT_BOXES[2], LIGHT_LISTS[2])
        program.click_client(*entry_point(LIGHT_LISTS[2], 1))  # "RGB Fixed On"
        time.sleep(0.3)
        self.world.move(*program.client_point(*EMPTY_SPOT))
        self.shot("after-edits")

        calls = self.apply()
        config = self.read_config(program)
        self.assertEqual(len(config), CONFIG_SIZE)
        record = config[1:]
        self.assertEqual(record[133], 2, "report rate")
        self.assertEqual(record[135], 5, "stage 1 level")
        self.assertEqual(list(record[139:143]), [1, 0, 1, 1], "stages in use")
        self.assertEqual(list(record[149:152]), [0x12, 0x34, 0x56], "stage 3 colour")
        self.assertEqual((record[155], record[158], record[161]), (3, 5, 3), "Neon, 3S, RGB Fixed On")
        check_apply_traffic(self, calls, record)
        effect = [c.payload for c in calls if c.kind == "SET_FEATURE" and c.payload[0] == 0x0D][0]
        self.assertEqual(list(effect[1:3]), [3, 6], "lighting effect")
        params0 = [c.payload for c in calls if c.kind == "SET_FEATURE" and c.payload[0] == 0x07 and c.payload[1] == 0][0]
        self.assertEqual(list(params0[2:5]), [3, 5, 5], "Neon's fixed-on parameters")

        # A row changed, then Cancel from the advanced page: the row's text
        # goes back with the record, and the next Apply saves the old text.
        self.choose(4, 15)
        title = self.look(PAGE_TITLE)
        program.click_rect(ADVANCED_TAB)
        program.wait_change(PAGE_TITLE, title, "the advanced page")
        program.click_rect(CANCEL)
        program.wait_hidden()
        self.show(program)
        title = self.look(PAGE_TITLE)
        program.click_rect(BASIC_TAB)
        program.wait_change(PAGE_TITLE, title, "the basic page")
        self.apply()
        texts = wd.read_utf16_ini(program.file("str.ini"))["Setting-EN"]
        self.assertEqual(texts.get("Item4"), "Forward", "Cancel kept a discarded row text")
        self.assertEqual(self.read_config(program)[1 + 3], 3, "Cancel kept a discarded function")
        self.assertEqual(self.exit_from_tray(program), 0)


# Where Wine keeps the pointer settings: the user's values, and the ones set
# for the session only (SPIF_SENDCHANGE without SPIF_UPDATEINIFILE).
MOUSE_KEY = "HKCU\\Control Panel\\Mouse"
DESKTOP_KEY = "HKCU\\Control Panel\\Desktop"
SESSION_KEY = "HKCU\\Software\\Wine\\Temporary System Parameters"
SESSION_KEYS = (SESSION_KEY + "\\Control Panel\\Mouse", SESSION_KEY + "\\Control Panel\\Desktop")
# Precision on (thresholds 6 and 10, acceleration 1), speed 9, 7 wheel lines.
USER_POINTER = {MOUSE_KEY: {"MouseThreshold1": "6", "MouseThreshold2": "10", "MouseSpeed": "1",
                            "MouseSensitivity": "9"},
                DESKTOP_KEY: {"WheelScrollLines": "7"}}


class AdvancedPage(PageCase):

    def setUp(self):
        if self._testMethodName == "test_cancel_then_ok_leaves_the_systems_pointer_settings":
            self.set_user_pointer_settings()
        self.start_shown([])

    def set_user_pointer_settings(self):
        """Gives the prefix a user's own pointer settings (put back afterwards);
        the program reads them at its start."""
        for key, values in USER_POINTER.items():
            old = self.world.registry(key)
            for name, data in values.items():
                self.world.run_wine("reg", "add", key, "/v", name, "/d", data, "/f")
                if name in old:
                    self.addCleanup(self.world.run_wine, "reg", "add", key, "/v", name, "/d", old[name], "/f")
                else:
                    self.addCleanup(self.world.run_wine, "reg", "delete", key, "/v", name, "/f")
        self.world.run_wine("reg", "delete", SESSION_KEY, "/f")

    def pointer_state(self):
        return {key: self.world.registry(key) for key in (MOUSE_KEY, DESKTOP_KEY) + SESSION_KEYS}

    def test_cancel_then_ok_leaves_the_systems_pointer_settings(self):
        # config.bin is the factory's (precision off, 3 lines); the system has
        # precision on, 7 lines and speed 9. Reading them on the advanced page
        # and then Cancel must not make OK write config.bin's steps.
        program = self.program
        before = self.pointer_state()
        self.assertEqual(before[DESKTOP_KEY].get("WheelScrollLines"), "7")
        title = self.look(PAGE_TITLE)
        program.click_rect(ADVANCED_TAB)
        program.wait_change(PAGE_TITLE, title, "the advanced page")
        self.shot("system-read")
        program.click_rect(CANCEL)
        program.wait_hidden()
        self.show(program)
        self.world.move(*program.client_point(*EMPTY_SPOT))
        self.shot("after-cancel")
        program.click_rect(OK)
        program.wait_hidden()
        self.wait_config_flag(program)
        self.assertEqual(self.pointer_state(), before, "Cancel and OK changed the system's pointer settings")
        # What the page shows after Cancel is the system's: 7 wheel lines.
        self.assertEqual(self.read_config(program)[config_offset(1699):config_offset(1704)], bytes([1, 0, 5, 7, 6]))
        self.assertEqual(self.exit_from_tray(program), 0)

    def test_pointer_settings_reach_the_system_only_when_changed(self):
        program = self.program
        mouse_key = "HKCU\\Control Panel\\Mouse"
        title = self.look(PAGE_TITLE)
        program.click_rect(ADVANCED_TAB)
        program.wait_change(PAGE_TITLE, title, "the advanced page")
        # Default first, so the test starts from the system's defaults whatever
        # an earlier run left in the prefix.
        program.click_rect((194, 573, 299, 594))
        wd.wait_for("the default double-click time",
                    lambda: self.world.registry(mouse_key).get("DoubleClickSpeed") == "500", timeout=10)
        before = self.world.registry(mouse_key)
        self.world.move(*program.client_point(*EMPTY_SPOT))
        # Double-click speed step 8: 970 - 70 * 8 = 410 ms, saved in the profile.
        row3 = self.look((52, 500, 316, 511))
        program.click_rect(pointer_cell(3, 8))
        self.wait_changed((52, 500, 316, 511), row3, "the double-click slider")
        self.shot("advanced-page")
        program.click_rect(APPLY)
        self.wait_config_flag(program)
        after = self.world.registry(mouse_key)
        self.assertEqual(after.get("DoubleClickSpeed"), "410")
        self.assertEqual({k: v for k, v in after.items() if k != "DoubleClickSpeed"},
                         {k: v for k, v in before.items() if k != "DoubleClickSpeed"})
        self.assertEqual(self.read_config(program)[1 + 1703], 8)
        # Default sets the system at once: the prefix is left at 500 ms again.
        program.click_rect((194, 573, 299, 594))
        wd.wait_for("the default double-click time",
                    lambda: self.world.registry(mouse_key).get("DoubleClickSpeed") == "500", timeout=10)
        self.assertEqual(self.exit_from_tray(program), 0)


    def test_a_macro_from_the_keyboard_to_the_mouse(self):
        program = self.program
        title = self.look(PAGE_TITLE)
        program.click_rect(ADVANCED_TAB)
        program.wait_change(PAGE_TITLE, title, "the advanced page")
        # A new macro, recorded from typed keys.
        program.click_rect((735, 322, 799, 336))
        self.world.xdotool("type", "Fire1")
        program.click_rect((513, 528, 618, 549))  # New
        program.click_rect((735, 229, 764, 258))  # Start Recording: its box first
        wd.wait_for("the Start Recording box", lambda: self.message_box("Start Recording"), timeout=10)
        # Closed with Enter, typed quickly, then the keys at once: the Enter's
        # release comes after the hook, and is no part of the recording.
        self.world.key("Return")
        for key in ("a", "b"):
            self.world.key(key)
            time.sleep(0.2)
        program.click_rect((735, 265, 764, 294))  # Stop Recording
        wd.wait_for("the Stop Recording box", lambda: self.message_box("Stop Recording"), timeout=10)
        self.world.key("Return")  # not recorded: the hook is gone
        wd.wait_for("the box to close", lambda: not self.message_box("Stop Recording"), timeout=10)
        # A mouse click after the first entry: the entry last pointed at.
        self.world.move(*program.client_point(640, 220 + 7))
        time.sleep(0.2)
        self.world.move(*program.client_point(729, 227))
        self.world.move(*program.client_point(790, 409))
        program.click_rect((735, 402, 854, 416))
        time.sleep(0.4)
        self.shot("mouse-event-list")
        program.click_client(780, 419 + 1 + 7)  # "L-Button Click"
        time.sleep(0.4)
        # The first delay becomes 20000 ms, which is more than a delay may be.
        self.world.move(*program.client_point(640, 220 + 14 + 7))
        self.world.xdotool("click", "--repeat", 2, "--delay", 80, 1)
        box = wd.wait_for("the delay dialog", lambda: [w for w in self.world.visible_windows()
                                                       if self.program.sized(w[3], 300, 420) and self.program.sized(w[4], 250, 340)], timeout=10)
        self.world.xdotool("type", "20000")
        self.shot("delay-dialog")
        self.world.key("Return")
        wd.wait_for("the delay dialog to close", lambda: not [w for w in self.world.visible_windows()
                                                              if self.program.sized(w[3], 300, 420) and self.program.sized(w[4], 250, 340)], timeout=10)
        program.click_rect((721, 528, 826, 549))  # Confirm
        time.sleep(0.3)
        self.world.move(*program.client_point(*EMPTY_SPOT))
        self.shot("macro")
        record = wd.read_utf16_ini(program.file("record.ini"))["Fire1"]
        entries = [record.get(f"Item{i}") for i in range(int(record["ItemCount"]))]
        self.assertEqual(entries, ["A   Dn", "10000 ms", "L-Button   Dn", "50 ms", "L-Button   Up", "50 ms", "A   Up",
                                   "50 ms", "B   Dn", "50 ms", "B   Up"])
        # Bound to button 3 with repeat mode 2 through the macro key dialog.
        title = self.look(PAGE_TITLE)
        program.click_rect(BASIC_TAB)
        program.wait_change(PAGE_TITLE, title, "the basic page")
        self.open_list(row(3), key_list(3))
        program.click_client(*entry_point(key_list(3), 13))
        box = wd.wait_for("the macro key dialog", lambda: [w for w in self.world.visible_windows()
                                                          if self.program.sized(w[3], 380, 420) and self.program.sized(w[4], 250, 340)], timeout=10)[0]
        _, x, y, _, _ = box
        d = program.device  # the dialog's points in 96-DPI units
        self.world.click(x + d(97), y + d(136))  # the field
        time.sleep(0.4)
        self.world.click(x + d(80), y + d(145 + 1 + 7))  # "Fire1"
        time.sleep(0.3)
        self.world.click(x + d(228), y + d(136))  # repeat mode 2
        time.sleep(0.3)
        self.shot("macro-key-dialog")
        self.world.click(x + d(218), y + d(263))  # OK
        wd.wait_for("the macro key dialog to close", lambda: not [w for w in self.world.visible_windows()
                                                                  if self.program.sized(w[3], 380, 420) and self.program.sized(w[4], 250, 340)], timeout=10)
        self.world.move(*program.client_point(*EMPTY_SPOT))
        calls = self.apply()
        config = self.read_config(program)
        texts = wd.read_utf16_ini(program.file("str.ini"))["Setting-EN"]
        self.assertEqual(texts.get("Item3"), "Macro Key-Fire1")
        mode_a = FACTORY_MATRIX[:8] + _le_words(0x00010109) + FACTORY_MATRIX[12:]
        check_apply_traffic(self, calls, config[1:], matrices={1: mode_a, 3: FACTORY_MATRIX})
        slot = config[1 + 163:1 + 163 + 128]
        self.assertEqual(list(slot[:18]), [0x00, 0x01, 0x00, 0x04, 100, 0x03, 0x05, 0xF0, 0x85, 0xF0, 0x85, 0x04,
                                           0x05, 0x05, 0x80, 0x05, 0x00, 0x00])
        self.assertEqual(self.exit_from_tray(program), 0)

    def message_box(self, text):
        return self.world.message_boxes(text)


def pointer_cell(row, i):
    left = 52 + 24 * (i - 1)
    top = 200 + 150 * (row - 1)
    return (left, top, left + 24, top + 11)


if __name__ == "__main__":
    unittest.main()
