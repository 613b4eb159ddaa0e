"""End-to-end tests of the Linux program (Qt 6), simulated mouse.

One virtual display with a tray host (trayer) for the class; the program is
started once in a scratch settings folder and session and used as a person
would: its icon in the tray, the pointer on its window, a second start, the
simulated mouse's control tool. A second run at 200 % (QT_SCALE_FACTOR=2, the
device pixel ratio a desktop at 192 DPI gives) in Simplified Chinese closes
the walk. Screenshots go to KOVRAL_E2E_SHOTS (build/e2e-shots/linux).
"""

import os
import shutil
import signal
import subprocess
import time
import unittest

from PIL import Image, ImageChops, ImageStat

import winedesk as wd
from xdisplay import XDisplay, wait_for

BUILD = os.environ.get("KOVRAL_BUILD_LINUX", "")
WORK = os.environ.get("KOVRAL_E2E_WORK", "/tmp/kovral-e2e-linux")
SHOTS = os.environ.get("KOVRAL_E2E_SHOTS", os.path.join(WORK, "shots"))
SCREEN = (1920, 1440)  # room for the window at 200 %
WINDOW = (880, 650)  # units: the Default skin's main.png
MINIMISE = (834, 14)  # the centre of the minimise button, units
OK_BUTTON = (565, 619)
PICTURE_ONLY = (40, 160, 232, 480)  # the mouse picture of the basic page: no text, no hover, units


class LinuxProgram(unittest.TestCase):
    """The program started once; the checks run in order on it."""

    @classmethod
    def setUpClass(cls):
        if not BUILD or not os.path.isfile(os.path.join(BUILD, "kovral")):
            raise unittest.SkipTest("KOVRAL_BUILD_LINUX does not hold kovral (run scripts/e2e-linux.sh)")
        shutil.rmtree(WORK, ignore_errors=True)
        cls.x = XDisplay(SCREEN)
        cls.x.start_display()
        cls.trayer = subprocess.Popen(
            ["trayer", "--edge", "top", "--align", "right", "--widthtype", "request", "--height", "24",
             "--transparent", "false", "--tint", "0x303030"],
            env=cls.x.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.makedirs(WORK, exist_ok=True)
        cls.log = open(os.path.join(WORK, "kovral.log"), "ab")
        cls.env = cls.session("main")
        cls.program = cls.start(cls.env)

    @classmethod
    def tearDownClass(cls):
        for p in (getattr(cls, "program", None), getattr(cls, "trayer", None)):
            if p and p.poll() is None:
                p.kill()
                p.wait()
        cls.x.stop_display()
        cls.log.close()

    # -- helpers -----------------------------------------------------------
    @classmethod
    def session(cls, name, config=None):
        """The environment of a user session of its own: settings and runtime folders."""
        env = dict(cls.x.env)
        env["XDG_CONFIG_HOME"] = config or os.path.join(WORK, name, "config")
        env["XDG_RUNTIME_DIR"] = os.path.join(WORK, name, "run")
        env["LANG"] = "en_US.UTF-8"
        os.makedirs(env["XDG_RUNTIME_DIR"], mode=0o700, exist_ok=True)
        return env

    @classmethod
    def start(cls, env, *args):
        return subprocess.Popen([os.path.join(BUILD, "kovral"), "--simulate", *args], env=env,
                                stdout=subprocess.DEVNULL, stderr=cls.log)

    def shot(self, name):
        return self.x.screenshot(os.path.join(SHOTS, name))

    def kovral_windows(self):
        return self.x.search_windows(["--class", "^kovral$"])

    def tray_icon(self):
        icons = [w for w in self.kovral_windows() if w[3] <= 48 and w[4] <= 48 and w[2] < 40]
        return icons[0] if icons else None

    def main_window(self, size=WINDOW):
        windows = [w for w in self.kovral_windows() if (w[3], w[4]) == size]
        return windows[0] if windows else None

    def click_tray(self, button=1):
        _, x, y, w, h = wait_for("the tray icon", self.tray_icon, timeout=20)
        self.x.click(x + w // 2, y + h // 2, button)

    def simctl(self, *args):
        return subprocess.run([os.path.join(BUILD, "kvsimctl"), *args], env=self.env, capture_output=True,
                              text=True, timeout=30)

    # -- the walk ------------------------------------------------------------
    def test_1_tray_icon_appears_and_the_window_stays_hidden(self):
        wait_for("the tray icon", self.tray_icon, timeout=20)
        time.sleep(0.5)
        self.assertIsNone(self.main_window(), "the window shows before the icon is clicked")
        folder = os.path.join(self.env["XDG_CONFIG_HOME"], "kovral")
        self.assertEqual(os.path.getsize(os.path.join(folder, "config.bin")), 1850)
        with open(os.path.join(folder, "str.ini"), "rb") as f:
            self.assertEqual(f.read(2), b"\xff\xfe", "str.ini is not UTF-16LE")

    def test_2_a_click_on_the_icon_shows_the_window_drawn_from_the_skin(self):
        self.click_tray()
        _, x, y, w, h = wait_for("the window", self.main_window, timeout=10)
        self.x.move(x + OK_BUTTON[0], y + OK_BUTTON[1])  # OK in its over look
        time.sleep(0.5)
        path = self.shot("linux.basic.100.png")
        window = self.x.grab().crop((x, y, x + w, y + h))
        type(self).window_100 = window.convert("RGB")
        # The skin's main.png fills the window: not the black of an empty paint.
        colours = window.convert("RGB").getcolors(maxcolors=1 << 20) or []
        self.assertGreater(len(colours), 200, path)
        # The hover look of OK is the bright cyan button picture.
        r, g, b = window.convert("RGB").getpixel((OK_BUTTON[0] - 30, OK_BUTTON[1]))
        self.assertGreater(b, 150, f"OK is not lit under the pointer ({r}, {g}, {b}): {path}")
        # OK sends the record before it hides the window; until this window
        # can send, OK leaves it up.
        self.x.click(x + OK_BUTTON[0], y + OK_BUTTON[1])
        time.sleep(0.5)
        self.assertIsNotNone(self.main_window(), "OK hid the window without sending the record")

    def test_3_minimise_hides_and_a_second_start_shows_the_window_and_exits(self):
        _, x, y, _, _ = wait_for("the window", self.main_window, timeout=10)
        self.x.click(x + MINIMISE[0], y + MINIMISE[1])
        wait_for("the window to hide", lambda: self.main_window() is None, timeout=10)
        second = self.start(self.env)
        self.assertEqual(second.wait(20), 0)
        wait_for("the window shown by the second start", self.main_window, timeout=10)
        self.assertIsNone(self.program.poll(), "the first copy ended")

    def test_4_kvsimctl_unplug_and_plug_are_accepted_and_a_refusal_says_why(self):
        self.assertEqual(self.simctl("unplug").returncode, 0)
        again = self.simctl("unplug")
        self.assertEqual(again.returncode, 1)
        self.assertIn("already unplugged", again.stderr)
        self.assertEqual(self.simctl("plug").returncode, 0)
        bad = self.simctl("wiggle")
        self.assertEqual(bad.returncode, 1)
        self.assertTrue(bad.stderr.strip())

    def test_5_exit_from_the_tray_menu_ends_the_program(self):
        before = {w[0] for w in self.kovral_windows()}
        self.click_tray(button=3)
        menu = wait_for("the tray menu", lambda: [w for w in self.kovral_windows()
                                                  if w[0] not in before and w[4] > 60], timeout=10)[0]
        self.shot("linux.tray-menu.png")
        _, x, y, w, h = menu
        self.x.click(x + w // 2, y + h - 12)  # Exit, the last item
        self.assertEqual(self.program.wait(10), 0)
        nothing = self.simctl("plug")
        self.assertEqual(nothing.returncode, 1)
        self.assertIn("nothing listens", nothing.stderr)

    def test_6_at_200_percent_in_chinese_every_edge_doubles(self):
        # The same settings folder, another session: the first copy is gone.
        env = self.session("scaled", config=self.env["XDG_CONFIG_HOME"])
        env["QT_SCALE_FACTOR"] = "2"
        ini_path = os.path.join(env["XDG_CONFIG_HOME"], "kovral", "str.ini")
        ini = wd.read_utf16_ini(ini_path)
        ini.setdefault("Skins", {})["Lan"] = "CHS"
        wd.write_utf16_ini(ini_path, ini)
        program = self.start(env)
        self.addCleanup(lambda: program.poll() is None and (program.send_signal(signal.SIGTERM), program.wait()))
        self.env = env
        self.click_tray()
        doubled = (2 * WINDOW[0], 2 * WINDOW[1])
        _, x, y, w, h = wait_for("the window at 200 %", lambda: self.main_window(doubled), timeout=10)
        self.x.move(SCREEN[0] - 4, SCREEN[1] - 4)
        time.sleep(0.5)
        path = self.shot("linux.basic.200.chs.png")
        window = self.x.grab().crop((x, y, x + w, y + h)).convert("RGB")
        colours = window.getcolors(maxcolors=1 << 22) or []
        self.assertGreater(len(colours), 400, path)
        # The @2x pictures are drawn where the 1x ones are, at twice their size:
        # reduced, the window's picture is the one at 100 %.
        reduced = window.resize(WINDOW, Image.BILINEAR).crop(PICTURE_ONLY)
        at_100 = self.window_100.crop(PICTURE_ONLY)
        difference = ImageStat.Stat(ImageChops.difference(reduced, at_100)).mean
        self.assertLess(max(difference), 12, f"the picture at 200 % is not the one at 100 % doubled: {path}")


if __name__ == "__main__":
    unittest.main()
