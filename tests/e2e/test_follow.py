"""End-to-end tests of profiles that follow the program in front.

Two small programs built with the tests (kvgame_a.exe, kvgame_b.exe) stand in
for games; each is named by one profile. A click on a program's window gives
it the front, as a person's would. What the mouse got after each change is read
from the simulator's trace and compared with what `kvctl switch` sends for the
same profiles in the same order, which is the switching engine's own answer.
One program run serves every check of a class (the machine's time is short).
"""

import json
import os
import shutil
import subprocess
import sys
import time
import unittest

import winedesk as wd
import test_program
from test_program import DIST, KVSIMCTL, WORK, DETECTED_CHS, DETECTED_EN, NOT_DETECTED_EN, EMPTY_SPOT, ProgramCase, dpi_label

BUILD = os.path.dirname(KVSIMCTL)
GAME_A, GAME_B = "kvgame_a.exe", "kvgame_b.exe"
# Below the main window (which the program centres), side by side.
GAME_RECTS = {GAME_A: (40, 880, 300, 120), GAME_B: (400, 880, 300, 120)}
# The Profiles submenu's items, top to bottom, with the two profiles of the tests.
SUB_DESKTOP, SUB_ALPHA, SUB_BETA, SUB_AUTOMATIC, SUB_NOTICES, SUB_MANAGE = range(6)
SUBMENU_ITEMS = 6
# The Profiles dialog's parts, in its client units (380 x 312).
NAME_EDIT = (60, 124, 366, 140)
BUTTONS = {name: (l, t, l + 170, t + 21) for name, (l, t) in zip(
    ("save", "rename", "add", "remove", "delete"), ((14, 146), (196, 146), (14, 170), (196, 170), (14, 194)))}
D_OK = (166, 253, 271, 274)
STATUS = (196, 194, 366, 244)
PROFILE_LIST, PROGRAM_LIST = 590, 592


def windows_path(path):
    return "Z:" + path.replace("/", "\\")


def set_features(calls):
    return [c.payload for c in calls if c.kind == "SET_FEATURE"]


class FollowCase(ProgramCase):
    """Profiles and the two stand-in games; the program's Profiles dialog."""

    def kvctl(self, folder, *args):
        kvctl = os.path.join(BUILD, "kvctl.exe")
        paths = ["--config", windows_path(os.path.join(folder, "config.bin")),
                 "--str", windows_path(os.path.join(folder, "str.ini"))]
        p = subprocess.run(["wine", kvctl, *args, *paths], cwd=folder, env=self.world.env,
                           stdin=subprocess.DEVNULL, capture_output=True, timeout=90)
        self.assertEqual(p.returncode, 0, p.stdout + p.stderr)
        return p.stdout.decode("utf-8", "replace")

    def path_arg(self, path):
        """A file as kvctl's command line names it."""
        return windows_path(path)

    def make_profiles(self, folder, programs=(GAME_A, GAME_B)):
        """Alpha for kvgame_a.exe (another report rate), Beta for kvgame_b.exe
        (another report rate and first DPI stage): each switch sends other
        command families. `programs`: the programs of Alpha and Beta, and a
        third, Gamma's (the two rates and a third first stage), if given."""
        exported = os.path.join(folder, "desktop.kvprofile")
        self.kvctl(folder, "export", self.path_arg(exported))
        with open(exported, encoding="utf-8") as f:
            text = f.read()
        os.remove(exported)
        rate = text.split("report_rate = ")[1].split("\n")[0]
        level = text.split("stage1.level = ")[1].split("\n")[0]

        def variant(program, new_rate, new_level):
            out = text.replace(f"report_rate = {rate}\n", f"report_rate = {new_rate}\n", 1)
            out = out.replace(f"stage1.level = {level}\n", f"stage1.level = {new_level}\n", 1)
            return out.replace("version = 1\n", f"version = 1\nprogram = {program}\n", 1)

        os.makedirs(os.path.join(folder, "Profiles"), exist_ok=True)
        other = "1" if level != "1" else "2"
        profiles = [("Alpha", variant(programs[0], "125 Hz", level)), ("Beta", variant(programs[1], "250 Hz", other))]
        if len(programs) > 2:
            profiles.append(("Gamma", variant(programs[2], "500 Hz", "3" if "3" not in (level, other) else "4")))
        for name, body in profiles:
            with open(os.path.join(folder, "Profiles", name + ".kvprofile"), "w", encoding="utf-8",
                      newline="\n") as f:
                f.write(body)

    def expected_switches(self, folder, *names):
        """What kvctl switch sends for these profiles in turn, one list of
        set-feature payloads per profile, on a simulated mouse of its own."""
        trace = os.path.join(folder, "kvctl-trace.txt")
        self.kvctl(folder, "switch", *names, "--simulate", "--trace", self.path_arg(trace))
        calls = wd.Trace(trace).calls_since()
        os.remove(trace)
        # kvctl opens its mouse with a handshake first; the switches follow.
        start = next(i for i, c in enumerate(calls) if c.kind == "SET_FEATURE" and c.payload[0] == 0x83)
        return set_features(calls[start:])

    def start_game(self, exe):
        x, y, w, h = GAME_RECTS[exe]
        proc = self.world.popen_wine([os.path.join(BUILD, exe)] + [str(v) for v in (x, y, w, h)], cwd=BUILD)
        self.addCleanup(self.stop_game, proc)
        wd.wait_for(f"the window of {exe}", lambda: self.world.visible_windows(x_class=exe), timeout=60)
        return proc

    def stop_game(self, proc):
        if proc.poll() is None:
            os.killpg(proc.pid, 9)
            proc.wait(10)

    def click_game(self, exe):
        x, y, w, h = GAME_RECTS[exe]
        self.world.click(x + w // 2, y + h // 2)

    def switch(self, program, action, balloon):
        """Does `action` and returns the set-feature payloads of the switch it
        caused, once its balloon is shown."""
        mark = program.trace.mark()
        notice = self.world.notice_mark()
        action()
        self.world.wait_balloon(notice, balloon, "Info", timeout=30)
        return set_features(program.trace.calls_since(mark))

    def submenu(self, program, item):
        """Opens the tray menu's Profiles submenu and clicks one of its items."""
        # A balloon still up is a small window too, and neither menu.
        before = set(program.popups())
        menu = self.open_tray_menu(program)[0]
        self.world.move(*wd.menu_item_point(menu, wd.TRAY_PROFILES))
        def beside(p):
            x, y, w, h = p
            mx, my, mw, mh = menu
            return (abs(x - (mx + mw)) <= 8 or abs(x + w - mx) <= 8) and my - 8 <= y <= my + mh
        sub = wd.wait_for("the Profiles submenu",
                          lambda: [p for p in program.popups() if p != menu and p not in before and beside(p)],
                          timeout=10)[0]
        self.shot(f"submenu-{item}")
        self.world.click(*wd.menu_item_point(sub, item, SUBMENU_ITEMS))
        wd.wait_for("the menu to close", lambda: not [p for p in program.popups() if p not in before], timeout=10)

    # -- the Profiles dialog ---------------------------------------------------
    def open_dialog(self, program):
        self.submenu(program, SUB_MANAGE)
        return self.probed_dialog()

    def probed_dialog(self):
        """The open Profiles dialog as kvprobe reads it: (window, {control id: control})."""
        def find():
            for w in self.world.program_windows():
                if w["class"] == "#32770" and any(c["id"] == PROFILE_LIST for c in w["children"]):
                    return w
            return None
        window = wd.wait_for("the Profiles dialog", find, timeout=20)
        return window, {c["id"]: c for c in window["children"]}

    def d_click(self, window, rect):
        left, top = window["client"] if "client" in window else window["rect"][:2]
        self.world.click(left + (rect[0] + rect[2]) // 2, top + (rect[1] + rect[3]) // 2)

    def type_name(self, window, name):
        self.d_click(window, NAME_EDIT)
        self.world.xdotool("key", "ctrl+a")
        self.world.xdotool("type", name)

    def select_row(self, index):
        """Selects entry `index` of the profiles list as a person would: a
        click on the first entry shown, then the arrow keys."""
        listing = self.probed_dialog()[1][PROFILE_LIST]
        top, h = listing["list"]["top_index"], listing["list"]["item_height"]
        self.world.click(listing["rect"][0] + 40, listing["rect"][1] + 1 + h // 2)
        for _ in range(abs(index - top)):
            self.world.key("Down" if index > top else "Up")
        wd.wait_for(f"entry {index} selected",
                    lambda: self.probed_dialog()[1][PROFILE_LIST]["list"]["selection"] == index, timeout=5)

    def wait_status_change(self, window, before):
        """Waits until the status line no longer shows what a screenshot of
        the dialog taken before holds."""
        left, top = window["client"] if "client" in window else window["rect"][:2]
        status = (left + STATUS[0], top + STATUS[1], left + STATUS[2], top + STATUS[3])
        wd.wait_for("the status line", lambda: wd.images_differ(self.world.grab().crop(status),
                                                                 before.crop(status)) > 20, timeout=10)

    def click_yes(self, question):
        """Clicks Yes in the program's question box that asks `question`."""
        def yes():
            for w in self.world.program_windows():
                texts = [c["text"] for c in w["children"]]
                if w["class"] == "#32770" and question in texts:
                    for c in w["children"]:
                        if c["class"].lower() == "button" and c["text"].replace("&", "") == "Yes":
                            return c["rect"]
            return None
        left, top, right, bottom = wd.wait_for("the question", yes, timeout=20)
        self.shot("question")
        self.world.click((left + right) // 2, (top + bottom) // 2)

    def entries(self):
        return [e.strip() for e in self.probed_dialog()[1][PROFILE_LIST]["list"]["entries"]]

    def profile_text(self, folder, name):
        path = os.path.join(folder, "Profiles", name + ".kvprofile")
        if not os.path.exists(path):
            return None
        with open(path, encoding="utf-8") as f:
            return f.read()

    def check_dialog(self, program):
        """Save, add a program, rename, remove it, delete, each checked in the folder."""
        folder = program.folder
        files = {name: wd.file_digest(program.file(name)) for name in ("config.bin", "str.ini", "record.ini")}
        window, _ = self.open_dialog(program)
        self.shot("dialog")
        self.assertEqual(self.entries(), ["Alpha", GAME_A, "Beta  (active)", GAME_B])

        # The settings the window shows now (Beta's) under a new name.
        self.type_name(window, "Gamma")
        self.d_click(window, BUTTONS["save"])
        gamma = wd.wait_for("Gamma saved", lambda: self.profile_text(folder, "Gamma"), timeout=10)
        beta = self.profile_text(folder, "Beta")
        self.assertEqual(gamma, beta.replace(f"program = {GAME_B}\n", ""), "Save did not keep what the window shows")
        wd.wait_for("Gamma listed", lambda: "Gamma" in self.entries(), timeout=10)
        # Enter in the Name box saves as well, and the dialog stays open.
        self.type_name(window, "Zeta")
        self.world.key("Return")
        self.assertEqual(wd.wait_for("Zeta saved", lambda: self.profile_text(folder, "Zeta"), timeout=10), gamma)
        wd.wait_for("Zeta listed", lambda: "Zeta" in self.entries(), timeout=10)
        self.select_row(self.entries().index("Zeta"))
        self.d_click(window, BUTTONS["delete"])
        self.click_yes('Delete the profile "Zeta"?')
        wd.wait_for("Zeta deleted", lambda: self.profile_text(folder, "Zeta") is None, timeout=10)
        # A name no file can have is refused in words, and nothing is written.
        stored = sorted(os.listdir(os.path.join(folder, "Profiles")))
        said = self.world.grab()
        self.type_name(window, "a:b")
        self.d_click(window, BUTTONS["save"])
        self.wait_status_change(window, said)
        self.shot("refused-name")
        self.assertEqual(sorted(os.listdir(os.path.join(folder, "Profiles"))), stored)

        # A program of a window open now.
        self.select_row(self.entries().index("Gamma"))
        self.d_click(window, BUTTONS["add"])
        def program_list():
            return self.probed_dialog()[1].get(PROGRAM_LIST)
        listed = wd.wait_for("the open programs", program_list, timeout=10)
        self.shot("programs")
        entries = listed["list"]["entries"]
        self.assertEqual(entries[0], "Browse\u2026")
        self.assertIn(GAME_A, entries)
        self.assertNotIn("KALVORIN_DRX_Driver.exe", entries)
        h = listed["list"]["item_height"]
        self.world.click(listed["rect"][0] + 30, listed["rect"][1] + 1 + h * entries.index(GAME_A) + h // 2)
        wd.wait_for("the program in Gamma", lambda: f"program = {GAME_A}\n" in self.profile_text(folder, "Gamma"),
                    timeout=10)
        self.assertEqual(self.entries()[-2:], ["Gamma", GAME_A])
        # Saved over in other letter case after the question: the file keeps its
        # name and its program.
        path = os.path.join(folder, "Profiles", "Gamma.kvprofile")
        before, written = self.profile_text(folder, "Gamma"), os.stat(path).st_mtime_ns
        self.type_name(window, "gamma")
        self.d_click(window, BUTTONS["save"])
        self.click_yes('A profile named "Gamma" exists already. Replace its settings with the current ones? '
                       'Its programs stay.')
        wd.wait_for("Gamma saved over", lambda: os.stat(path).st_mtime_ns != written, timeout=10)
        self.assertEqual(self.profile_text(folder, "Gamma"), before)
        self.assertNotIn("gamma.kvprofile", os.listdir(os.path.join(folder, "Profiles")))

        # Renamed in letter case alone: the file takes the new spelling.
        self.select_row(self.entries().index("Gamma"))
        self.type_name(window, "GAMMA")
        self.d_click(window, BUTTONS["rename"])
        wd.wait_for("Gamma renamed GAMMA", lambda: "GAMMA.kvprofile" in os.listdir(os.path.join(folder, "Profiles")),
                    timeout=10)
        self.assertNotIn("Gamma.kvprofile", os.listdir(os.path.join(folder, "Profiles")))
        self.assertEqual(self.profile_text(folder, "GAMMA"), before)
        wd.wait_for("GAMMA listed", lambda: "GAMMA" in self.entries(), timeout=10)

        # Renamed: the file goes with its contents and programs.
        self.select_row(self.entries().index("GAMMA"))
        self.type_name(window, "Delta")
        self.d_click(window, BUTTONS["rename"])
        wd.wait_for("GAMMA renamed", lambda: self.profile_text(folder, "GAMMA") is None, timeout=10)
        delta = self.profile_text(folder, "Delta")
        self.assertIn(f"program = {GAME_A}\n", delta)

        # The program removed again: Delta's program is its last row.
        rows = self.entries()
        self.assertEqual(rows[-2:], ["Delta", GAME_A])
        self.select_row(len(rows) - 1)
        self.d_click(window, BUTTONS["remove"])
        wd.wait_for("the program out of Delta", lambda: "program =" not in self.profile_text(folder, "Delta"),
                    timeout=10)
        self.assertEqual(self.profile_text(folder, "Alpha").count(f"program = {GAME_A}"), 1, "Alpha lost its program")

        # Deleted after the question.
        self.select_row(self.entries().index("Delta"))
        self.d_click(window, BUTTONS["delete"])
        self.click_yes('Delete the profile "Delta"?')
        wd.wait_for("Delta deleted", lambda: self.profile_text(folder, "Delta") is None, timeout=10)
        self.assertEqual(self.entries(), ["Alpha", GAME_A, "Beta  (active)", GAME_B])
        self.d_click(window, D_OK)
        wd.wait_for("the dialog to close", lambda: not any(c["id"] == PROFILE_LIST for w in
                    self.world.program_windows() for c in w["children"]), timeout=20)
        for name, digest in files.items():
            self.assertEqual(wd.file_digest(program.file(name)), digest, f"the dialog changed {name}")

class Follow(FollowCase):

    def test_the_mouse_follows_the_front_program(self):
        folder = self.folder()
        self.make_profiles(folder)
        # From Alpha on: the first switch depends on whether a game took the
        # front as it started, which Wine decides.
        expected = self.expected_switches(folder, "Alpha", "Beta", "desktop", "Beta")
        expected = expected[len(self.expected_switches(folder, "Alpha")):]
        # The switch notices as balloons, which this test reads (the on-screen
        # display has a class of its own below).
        program = self.launch(folder, notices="Balloons")
        # A first run saves the texts its rows show at the first showing;
        # after that nothing the following does may write a file.
        self.show(program)
        self.world.move(*program.client_point(*EMPTY_SPOT))
        self.world.key("Escape")
        program.wait_hidden()
        files = {name: wd.file_digest(program.file(name)) for name in ("config.bin", "str.ini", "record.ini")}
        self.start_game(GAME_A)
        self.start_game(GAME_B)

        # A known start whatever the games did as they started: B in front
        # (seen by one of the once-a-second checks), then A.
        self.click_game(GAME_B)
        self.world.settle()
        time.sleep(1.5)
        self.switch(program, lambda: self.click_game(GAME_A), "Profile: Alpha")
        self.shot("alpha")
        # What the mouse was sent is kept beside config.bin for a start after a crash.
        marker = program.file("mouse-profile.txt")
        with open(marker, encoding="utf-8") as f:
            self.assertEqual(f.read(), "Alpha\n")
        sent = []
        sent += self.switch(program, lambda: self.click_game(GAME_B), "Profile: Beta")
        # The program's own window in front: the Desktop settings.
        sent += self.switch(program, lambda: program.tray_click(), "Desktop settings")
        program.wait_shown()
        self.shot("desktop")
        sent += self.switch(program, lambda: self.click_game(GAME_B), "Profile: Beta")
        self.assertEqual(sent, expected, "the switches differ from kvctl switch Alpha Beta desktop Beta after Alpha")

        # Unplugged and plugged again with the game in front: its profile
        # again, whole (the mouse's state is not trusted after a replug).
        notice = self.world.notice_mark()
        self.world.simctl_ok("unplug")
        self.world.wait_balloon(notice, NOT_DETECTED_EN, "Warning")
        replug = self.switch(program, lambda: self.world.simctl_ok("plug"), "Profile: Beta")
        full_beta = self.expected_switches(folder, "Beta")
        self.assertEqual(replug[-len(full_beta):], full_beta, "the replug did not give the mouse Beta whole")

        # The tray's choice holds while the front stays: Desktop now, then
        # the other game takes the front and gets Alpha.
        expected = self.expected_switches(folder, "Beta", "desktop", "Alpha")[len(full_beta):]
        sent = self.switch(program, lambda: self.submenu(program, SUB_DESKTOP), "Desktop settings")
        sent += self.switch(program, lambda: self.click_game(GAME_A), "Profile: Alpha")
        self.assertEqual(sent, expected, "the tray's Desktop or the next front change was not sent as kvctl sends it")

        for name, digest in files.items():
            self.assertEqual(wd.file_digest(program.file(name)), digest, f"following the front changed {name}")

        # Switching off: the front changes and nothing is sent; on again,
        # the front's profile at once. Both choices are kept in str.ini.
        self.submenu(program, SUB_AUTOMATIC)
        wd.wait_for("str.ini to keep the switch off",
                    lambda: wd.read_utf16_ini(program.file("str.ini")).get("Profiles", {}).get("Automatic") == "0",
                    timeout=10)
        mark = program.trace.mark()
        self.click_game(GAME_B)
        self.world.settle()
        time.sleep(2.5)  # two of the once-a-second checks
        self.assertEqual(set_features(program.trace.calls_since(mark)), [], "a switch with switching off")
        # The menu's own front does not count; the next program clicked does.
        self.submenu(program, SUB_AUTOMATIC)
        self.switch(program, lambda: self.click_game(GAME_B), "Profile: Beta")
        self.assertEqual(wd.read_utf16_ini(program.file("str.ini"))["Profiles"]["Automatic"], "1")

        # A stalled switch: the user hears that Alpha did not reach the mouse,
        # and two seconds later it goes again, whole, and is told as sent.
        self.world.simctl_ok("stall", "1", "800")
        mark = program.trace.mark()
        notice = self.world.notice_mark()
        self.click_game(GAME_A)
        self.world.wait_balloon(notice, "Profile Alpha did not reach the mouse.", "Warning", timeout=30)
        self.shot("switch-failed")
        notice = self.world.notice_mark()
        self.world.wait_balloon(notice, "Profile: Alpha", "Info", timeout=30)
        full_alpha = self.expected_switches(folder, "Alpha")
        retried = set_features(program.trace.calls_since(mark))
        self.assertEqual(retried[-len(full_alpha):], full_alpha, "the retry did not send Alpha whole")
        self.switch(program, lambda: self.click_game(GAME_B), "Profile: Beta")

        self.check_dialog(program)
        self.assertEqual(self.exit_from_tray(program), 0)
        self.assertFalse(os.path.exists(marker), "Exit gave the Desktop settings back but left the marker")
        self.assertFalse(os.path.exists(program.file("profile-record.ini")))


class FollowLibrary(FollowCase):

    def test_profiles_written_while_it_runs_are_followed_without_the_menu(self):
        """The library is read behind the program's back: a Profiles folder
        made and a profile copied into it, then a profile imported from the
        tray, are each followed at the next front change, the tray's Profiles
        submenu never opened."""
        folder = self.folder()
        self.make_profiles(folder)
        profiles, staged = os.path.join(folder, "Profiles"), os.path.join(folder, "staged")
        os.rename(profiles, staged)
        program = self.launch(folder, notices="Balloons")
        self.start_game(GAME_A)
        self.start_game(GAME_B)
        self.click_game(GAME_B)
        self.world.settle()

        os.makedirs(profiles)
        shutil.copy(os.path.join(staged, "Alpha.kvprofile"), profiles)
        time.sleep(1)
        self.switch(program, lambda: self.click_game(GAME_A), "Profile: Alpha")

        # Beta comes by the tray's Import, which keeps it in the library.
        # (The file dialog is answered as the tray's own tests answer it.)
        test_program.StartAndTray.choose_profile_file(self, program, wd.TRAY_IMPORT,
                                                      os.path.join(staged, "Beta.kvprofile"), "import-beta")
        program.wait_shown()
        def message():
            return [w for w in self.world.visible_windows(name="KALVORIN_DRX_Driver") if w[3] < 600]
        wd.wait_for("the import's message", message, timeout=30)
        self.shot("imported-beta")
        self.world.key("Return")
        wd.wait_for("the message to close", lambda: not message(), timeout=10)
        self.assertTrue(os.path.exists(os.path.join(profiles, "Beta.kvprofile")), "the import kept no profile")
        self.switch(program, lambda: self.click_game(GAME_B), "Profile: Beta")
        self.assertEqual(self.exit_from_tray(program), 0)


class FollowChinese(FollowCase):

    def test_menu_and_dialog_in_chinese_with_a_skin_made_before_the_dialog(self):
        """Screenshots of the submenu and the dialog in Simplified Chinese;
        a skin without the dialog's pictures is still complete and the
        dialog draws with the Default skin's pictures."""
        folder = self.folder()
        self.make_profiles(folder)
        skins = os.path.join(folder, "Skins")
        shutil.copytree(os.path.join(skins, "Ember"), os.path.join(skins, "Old"))
        for name in os.listdir(os.path.join(skins, "Old")):
            if name.startswith("profiles"):
                os.remove(os.path.join(skins, "Old", name))
        ini = wd.read_utf16_ini(os.path.join(folder, "str.ini"))
        ini.setdefault("Skins", {})["Path"] = "Old"
        wd.write_utf16_ini(os.path.join(folder, "str.ini"), ini)
        program = self.launch(folder, lan="CHS", expect_balloon=DETECTED_CHS)
        self.assertEqual(self.world.message_boxes("This skin is incomplete."), [])
        menu = self.open_tray_menu(program)[0]
        self.world.move(*wd.menu_item_point(menu, wd.TRAY_PROFILES))
        wd.wait_for("the Profiles submenu", lambda: [p for p in program.popups() if p != menu], timeout=10)
        self.shot("submenu-chs")
        self.world.click(*wd.PARKING_SPOT)
        wd.wait_for("the menu to close", lambda: not program.popups(), timeout=10)
        window, controls = self.open_dialog(program)
        self.assertEqual([e.strip() for e in controls[PROFILE_LIST]["list"]["entries"]],
                         ["Alpha", GAME_A, "Beta", GAME_B])
        self.select_row(0)
        self.d_click(window, BUTTONS["remove"])  # a profile's row: the dialog says what to choose
        time.sleep(0.5)
        self.world.move(*wd.PARKING_SPOT)
        self.shot("dialog-chs")
        # Drawn from the Default skin: its accent (cyan), not Ember's amber, in the title bar.
        left, top = window["client"]
        shot = self.world.grab()
        r, g, b = shot.getpixel((left + 15, top + 16))[:3]
        self.assertGreater(b, r, "the dialog's face is not the Default skin's")
        self.type_name(window, "a:b")
        self.d_click(window, BUTTONS["save"])
        self.wait_status_change(window, shot)
        self.shot("refused-name-chs")
        self.d_click(window, D_OK)
        self.assertEqual(self.exit_from_tray(program), 0)


OSD_CLASS = "KovralOnScreenDisplay"
# WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW
OSD_EX_STYLE = 0x80000 | 0x20 | 0x8 | 0x8000000 | 0x80
# The panel's heights in units: one line, and a DPI stage's two.
OSD_ONE_LINE, OSD_TWO_LINES = 68, 90


def median(values):
    values = sorted(values)
    return values[len(values) // 2] if len(values) % 2 else (values[len(values) // 2 - 1] + values[len(values) // 2]) / 2


class OsdCase(FollowCase):
    """The on-screen display over a stand-in game that covers the top of the
    screen, as a borderless full-screen game would, and counts the clicks
    that reach it."""

    def start_cover_game(self, exe, clicks):
        w = self.world.screen[0]
        # Below the notification area's strip at the top of the screen.
        proc = self.world.popen_wine([os.path.join(BUILD, exe), "0", "50", str(w), "400", windows_path(clicks)],
                                     cwd=BUILD)
        self.addCleanup(self.stop_game, proc)
        wd.wait_for(f"the window of {exe}", lambda: self.world.visible_windows(x_class=exe), timeout=60)
        return proc

    def watch(self, seconds=12):
        """Starts kvprobe watching for the panel; returns its result file."""
        path = os.path.join(self.world.workdir, f"osd-watch-{time.monotonic_ns()}.json")
        proc = self.world.popen_wine([self.world.kvprobe, "watch", windows_path(path), str(seconds)], cwd=BUILD)
        self.addCleanup(lambda: proc.poll() is None and os.killpg(proc.pid, 9))
        wd.wait_for("kvprobe to watch", lambda: os.path.exists(path + ".ready"), timeout=60)
        return path

    def seen(self, path):
        wd.wait_for("the panel", lambda: os.path.exists(path + ".seen"), timeout=20)
        time.sleep(0.02)  # written whole in one go, but give it the moment
        with open(path + ".seen", encoding="ascii") as f:
            return json.load(f)

    def watched(self, path):
        wd.wait_for("the panel to go", lambda: os.path.exists(path), timeout=30)
        time.sleep(0.05)
        with open(path, encoding="ascii") as f:
            return json.load(f)

    def check_panel(self, seen, text, front):
        self.assertEqual(seen["class"], OSD_CLASS)
        self.assertEqual(seen["text"], text)
        self.assertEqual(seen["ex_style"], OSD_EX_STYLE, hex(seen["ex_style"]))
        self.assertTrue(seen["above_front"], "the panel is below the window in front")
        self.assertEqual(seen["front"], front, "the panel took the front")

    def check_gone(self, result, text, front):
        self.assertTrue(result["seen"])
        self.assertEqual(result["texts"], [text])
        self.assertEqual(result["fronts"], [front], "the front changed while the panel showed")
        # About 1.5 s; Wine on a busy machine adds to both ends.
        self.assertGreater(result["shown_ms"], 1200)
        self.assertLess(result["shown_ms"], 3500)

    def osd_latencies(self, program, count=10):
        """Milliseconds from the mouse's notice reaching the program to the
        panel shown (the trace's two notes), for `count` DPI stage notices."""
        latencies = []
        for i in range(count):
            mark = program.trace.mark()
            value = 1 + i % 4
            self.world.simctl_ok("notify", 7, value)

            def note():
                lines = program.trace.lines()[mark:]
                read = next((l for l in lines if l.startswith("# ") and l.endswith(f" notice 7 {value}")), None)
                shown = next((l for l in lines if l.startswith("# ") and l.endswith(" osd shown")), None)
                return (read, shown) if read and shown else None
            read, shown = wd.wait_for("the panel's note in the trace", note, timeout=10)
            latencies.append((int(shown.split()[1]) - int(read.split()[1])) / 1000)
            time.sleep(0.1)
        return latencies


class OnScreenDisplay(OsdCase):

    def test_panel_over_the_game_never_takes_the_front_or_a_click(self):
        folder = self.folder()
        self.make_profiles(folder)
        program = self.launch(folder)
        clicks = os.path.join(self.world.workdir, "clicks-a.txt")
        if os.path.exists(clicks):
            os.remove(clicks)
        self.start_cover_game(GAME_A, clicks)
        self.start_game(GAME_B)
        config = self.read_config(program)
        label = dpi_label(0, config[1 + 135 + 1])

        # A profile switch: the other game first, then the click that gives
        # the covering game the front.
        self.click_game(GAME_B)
        self.world.settle()
        time.sleep(3)  # its switch and panel are over
        watch = self.watch()
        self.world.click(60, 380)
        seen = self.seen(watch)
        self.check_panel(seen, "Profile: Alpha", GAME_A)
        self.shot("osd-profile")
        self.check_gone(self.watched(watch), "Profile: Alpha", GAME_A)
        with open(clicks) as f:
            before = len(f.read().splitlines())

        # The mouse's DPI stage: within 300 ms, over the game, which keeps the
        # front and gets the click made in the middle of the panel.
        watch = self.watch()
        mark = program.trace.mark()
        self.world.simctl_ok("notify", 7, 2)
        seen = self.seen(watch)
        text = f"DPI {label}, stage 2 of 4"
        self.check_panel(seen, text, GAME_A)
        left, top, right, bottom = seen["rect"]
        self.assertEqual(bottom - top, OSD_TWO_LINES)
        self.assertLessEqual(abs(left + right - self.world.screen[0]), 1, "not at the top centre")
        self.assertEqual(top, 32, "not inset from the top")
        self.world.grab().crop((left - 8, top - 8, right + 8, bottom + 8)).save(
            os.path.join(os.path.dirname(self.shot("osd-dpi")), "OnScreenDisplay.panel-100.png"))
        cx, cy = (left + right) // 2, (top + bottom) // 2
        self.world.click(cx, cy)
        def clicked():
            with open(clicks) as f:
                return f.read().splitlines()[before:]
        x, y = map(int, wd.wait_for("the click to reach the game", clicked, timeout=5)[-1].split())
        # The game's client area starts inside its one-pixel border, 50 down.
        self.assertLessEqual(abs(x + 1 - cx) + abs(y + 51 - cy), 2, "the click reached the game elsewhere")
        self.check_gone(self.watched(watch), text, GAME_A)
        notes = [l for l in program.trace.lines()[mark:] if l.endswith(" osd shown")]
        self.assertEqual(len(notes), 1)

        # A new notice replaces the one showing: one panel, the newer text.
        self.world.simctl_ok("notify", 7, 1)
        self.world.simctl_ok("notify", 9, 3)
        panels = [w for w in self.world.program_windows() if w["class"] == OSD_CLASS]
        self.assertEqual([w["text"] for w in panels], ["Macro key 3"])

        latencies = self.osd_latencies(program)
        print(f"\nnotice to panel shown, ms (median of 10): {median(latencies):.1f}; all: "
              + " ".join(f"{v:.1f}" for v in latencies), file=sys.stderr)
        self.assertLess(median(latencies), 300)
        self.assertLess(max(latencies), 300)
        # Exit while a panel shows: the menu is found beside it.
        self.world.simctl_ok("notify", 7, 2)
        wd.wait_for("the panel", lambda: [w for w in self.world.program_windows() if w["class"] == OSD_CLASS],
                    timeout=3)
        self.assertEqual(self.exit_from_tray(program), 0)


class OnScreenDisplayScaled(OsdCase):
    DPI = 144

    def test_panel_drawn_at_the_monitor_scale(self):
        program = self.launch(lan="CHS", expect_balloon=DETECTED_CHS)
        label = dpi_label(0, self.read_config(program)[1 + 135 + 1])
        watch = self.watch()
        self.world.simctl_ok("notify", 7, 2)
        seen = self.seen(watch)
        left, top, right, bottom = seen["rect"]
        self.assertEqual(bottom - top, OSD_TWO_LINES * 3 // 2)
        self.assertEqual(top, 48)
        self.world.grab().crop((left - 8, top - 8, right + 8, bottom + 8)).save(
            os.path.join(os.path.dirname(self.shot("osd-dpi")), "OnScreenDisplayScaled.panel-150.png"))
        self.assertEqual(seen["text"], f"DPI {label}\uff0c\u7b2c2\u6bb5\uff0c\u51714\u6bb5")
        self.watched(watch)
        watch = self.watch()
        self.world.simctl_ok("notify", 5, 1)
        seen = self.seen(watch)
        self.assertEqual(seen["text"], "1000 Hz")
        self.assertEqual(seen["rect"][3] - seen["rect"][1], OSD_ONE_LINE * 3 // 2)
        self.watched(watch)
        self.assertEqual(self.exit_from_tray(program), 0)


def session_cpu_seconds(session):
    """User and system CPU time of every process of a session, in seconds."""
    ticks = 0
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open(f"/proc/{pid}/stat") as f:
                fields = f.read().rsplit(")", 1)[1].split()
        except OSError:
            continue
        if int(fields[3]) == session:  # field 6 of stat: the session
            ticks += int(fields[11]) + int(fields[12])  # utime, stime
    return ticks / os.sysconf("SC_CLK_TCK")


@unittest.skipUnless(os.environ.get("KOVRAL_E2E_IDLE"), "set KOVRAL_E2E_IDLE=1 to measure idle CPU (40 s)")
class IdleCpu(FollowCase):

    def test_idle_cpu_with_and_without_programs_named(self):
        """Prints the program's CPU time over 20 s of idling, with profiles
        that name no program (no watch, no timer) and with the two games',
        each after an on-screen notice has come and gone."""
        figures = {}
        for named in (False, True):
            folder = wd.copy_install(DIST, os.path.join(WORK, "runs", "idle-named" if named else "idle-none"))
            self.make_profiles(folder)
            if not named:
                for name in os.listdir(os.path.join(folder, "Profiles")):
                    path = os.path.join(folder, "Profiles", name)
                    with open(path, encoding="utf-8") as f:
                        text = f.read()
                    with open(path, "w", encoding="utf-8", newline="\n") as f:
                        f.write("".join(l for l in text.splitlines(True) if not l.startswith("program = ")))
            program = self.launch(folder)
            # A notice on the screen first: once its panel has gone, nothing
            # of it may run on (its timer ends with it).
            self.world.simctl_ok("notify", 7, 2)
            time.sleep(3)  # the start's own work and the panel's 1.5 s end
            before = session_cpu_seconds(program.proc.pid)
            time.sleep(20)
            figures[named] = session_cpu_seconds(program.proc.pid) - before
            # The program's start is counted, so the session is the program's.
            self.assertGreater(before, 0.05, "the measurement does not see the program")
            self.assertEqual(self.exit_from_tray(program), 0)
        print(f"\nidle CPU over 20 s (clock ticks of {1000 // os.sysconf('SC_CLK_TCK')} ms): "
              f"no program named {figures[False] * 1000:.0f} ms, programs named {figures[True] * 1000:.0f} ms",
              file=sys.stderr)
        self.assertLess(figures[True], 2.0, "the once-a-second check costs more than a tenth of a core")
