"""End-to-end tests of profiles that follow the program in front.

Two small programs built with the tests (kvgame_a.exe, kvgame_b.exe) stand in
for games; each is named by one profile. A click on a program's window gives
it the front, as a person's would. What the mouse got after each change is read
from the simulator's trace and compared with what `kvctl switch` sends for the
same profiles in the same order, which is the switching engine's own answer.
One program run serves every check of a class (the machine's time is short).
"""

import os
import shutil
import subprocess
import time

import winedesk as wd
from test_program import DIST, KVSIMCTL, WORK, DETECTED_EN, NOT_DETECTED_EN, EMPTY_SPOT, ProgramCase

BUILD = os.path.dirname(KVSIMCTL)
GAME_A, GAME_B = "kvgame_a.exe", "kvgame_b.exe"
# Below the main window (which the program centres), side by side.
GAME_RECTS = {GAME_A: (40, 880, 300, 120), GAME_B: (400, 880, 300, 120)}
# The Profiles submenu's items, top to bottom, with the two profiles of the tests.
SUB_DESKTOP, SUB_ALPHA, SUB_BETA, SUB_AUTOMATIC, SUB_NOTICES = range(5)
SUBMENU_ITEMS = 5


def windows_path(path):
    return "Z:" + path.replace("/", "\\")


def set_features(calls):
    return [c.payload for c in calls if c.kind == "SET_FEATURE"]


class Follow(ProgramCase):

    def kvctl(self, folder, *args):
        kvctl = os.path.join(BUILD, "kvctl.exe")
        paths = ["--config", windows_path(os.path.join(folder, "config.bin")),
                 "--str", windows_path(os.path.join(folder, "str.ini"))]
        p = subprocess.run(["wine", kvctl, *args, *paths], cwd=folder, env=self.world.env,
                           stdin=subprocess.DEVNULL, capture_output=True, timeout=90)
        self.assertEqual(p.returncode, 0, p.stdout + p.stderr)
        return p.stdout.decode("utf-8", "replace")

    def make_profiles(self, folder):
        """Alpha for kvgame_a.exe (another report rate), Beta for kvgame_b.exe
        (another report rate and first DPI stage): each switch sends other
        command families."""
        exported = os.path.join(folder, "desktop.kvprofile")
        self.kvctl(folder, "export", windows_path(exported))
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
        for name, body in (("Alpha", variant(GAME_A, "125 Hz", level)),
                           ("Beta", variant(GAME_B, "250 Hz", "1" if level != "1" else "2"))):
            with open(os.path.join(folder, "Profiles", name + ".kvprofile"), "w", encoding="utf-8",
                      newline="\n") as f:
                f.write(body)

    def expected_switches(self, folder, *names):
        """What kvctl switch sends for these profiles in turn, one list of
        set-feature payloads per profile, on a simulated mouse of its own."""
        trace = os.path.join(folder, "kvctl-trace.txt")
        self.kvctl(folder, "switch", *names, "--simulate", "--trace", windows_path(trace))
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
        menu = self.open_tray_menu(program)[0]
        self.world.move(*wd.menu_item_point(menu, wd.TRAY_PROFILES))
        sub = wd.wait_for("the Profiles submenu", lambda: [p for p in program.popups() if p != menu], timeout=10)[0]
        self.shot(f"submenu-{item}")
        self.world.click(*wd.menu_item_point(sub, item, SUBMENU_ITEMS))
        wd.wait_for("the menu to close", lambda: not program.popups(), timeout=10)

    def test_the_mouse_follows_the_front_program(self):
        folder = self.folder()
        self.make_profiles(folder)
        expected = self.expected_switches(folder, "Alpha", "Beta", "desktop", "Beta")
        program = self.launch(folder)
        # A first run saves the texts its rows show at the first showing;
        # after that nothing the following does may write a file.
        self.show(program)
        self.world.move(*program.client_point(*EMPTY_SPOT))
        self.world.key("Escape")
        program.wait_hidden()
        files = {name: wd.file_digest(program.file(name)) for name in ("config.bin", "str.ini", "record.ini")}
        self.start_game(GAME_A)
        self.start_game(GAME_B)

        sent = []
        sent += self.switch(program, lambda: self.click_game(GAME_A), "Profile: Alpha")
        self.shot("alpha")
        sent += self.switch(program, lambda: self.click_game(GAME_B), "Profile: Beta")
        # The program's own window in front: the Desktop settings.
        sent += self.switch(program, lambda: program.tray_click(), "Desktop settings")
        program.wait_shown()
        self.shot("desktop")
        sent += self.switch(program, lambda: self.click_game(GAME_B), "Profile: Beta")
        self.assertEqual(sent, expected, "the switches differ from kvctl switch Alpha Beta desktop Beta")

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
        self.assertEqual(self.exit_from_tray(program), 0)
