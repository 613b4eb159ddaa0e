"""The installer Kovral-setup.exe and its uninstaller under Wine.

Installs for real into the prefix's %LOCALAPPDATA%\\Programs\\Kovral, the
Start menu and the user's registry, as a person's installation would, and
checks what is there afterwards: files byte for byte, the shortcut's target,
the Run value the program's own menu item reads, the uninstall key. The
uninstaller's questions are answered with keys on the screen. Every test
starts from no installation and the class leaves none behind, so later
modules and reruns find the prefix as before.
"""

import glob
import os
import shutil
import signal
import struct
import subprocess
import unittest

import test_program as tp
import winedesk as wd

DIST = tp.DIST
SETUP = os.path.join(os.path.dirname(DIST), "Kovral-setup.exe") if DIST else ""
PREFIX = os.environ.get("WINEPREFIX", "")

RUN_KEY = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run"
UNINST_KEY = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kovral"
# The uninstaller's window and message boxes; the window's title ends in the
# blank that Modern UI gives as every page's sub-caption.
UNINSTALL_TITLE = "^Kovral Uninstall ?$"
SETTINGS = ("config.bin", "str.ini", "record.ini")

CLEANUP_REG = """Windows Registry Editor Version 5.00

[-HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kovral]

[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run]
"Kovral"=-
"""


def unix_path(win):
    """The prefix's file behind a path on one of its drives (C:\\...)."""
    drive, rest = win[0].lower(), win[3:]
    return os.path.join(PREFIX, "dosdevices", f"{drive}:", *[p for p in rest.split("\\") if p])


def tree(folder):
    """{relative path: sha256} of every file under a folder."""
    found = {}
    for base, _, names in os.walk(folder):
        for name in names:
            path = os.path.join(base, name)
            found[os.path.relpath(path, folder).replace(os.sep, "/")] = wd.file_digest(path)
    return found


def shortcut_target(path):
    """The local path a shell link (.lnk) points at: its LinkInfo's
    LocalBasePath followed by the common path suffix."""
    with open(path, "rb") as f:
        data = f.read()
    header_size, = struct.unpack_from("<I", data, 0)
    flags, = struct.unpack_from("<I", data, 0x14)
    offset = header_size
    if flags & 0x1:  # HasLinkTargetIDList
        offset += 2 + struct.unpack_from("<H", data, offset)[0]
    if not flags & 0x2:  # HasLinkInfo
        raise wd.E2EError(f"{path} has no LinkInfo")
    info_header, info_flags, _, base, _, suffix = struct.unpack_from("<6I", data, offset + 4)
    if not info_flags & 0x1:  # VolumeIDAndLocalBasePath
        raise wd.E2EError(f"{path} has no local base path")

    def ansi(at):  # the system's code page: Western under this prefix's English locale
        end = data.index(b"\0", offset + at)
        return data[offset + at:end].decode("cp1252", "replace")

    def wide(at):
        raw = data[offset + at:]
        end = next(i for i in range(0, len(raw) - 1, 2) if raw[i:i + 2] == b"\0\0")
        return raw[:end].decode("utf-16-le")
    if info_header >= 0x24:  # the Unicode forms follow
        base_w, suffix_w = struct.unpack_from("<2I", data, offset + 28)
        return wide(base_w) + wide(suffix_w)
    return ansi(base) + ansi(suffix)


class Installer(tp.ProgramCase):

    @classmethod
    def setUpClass(cls):
        if not SETUP or not os.path.isfile(SETUP):
            raise unittest.SkipTest("no Kovral-setup.exe beside KOVRAL_DIST (run scripts/e2e.sh)")
        if not PREFIX:
            raise unittest.SkipTest("WINEPREFIX is not set (run scripts/e2e.sh)")
        super().setUpClass()
        local, roaming, temp = cls.user_folders()
        cls.install_win = local + "\\Programs\\Kovral"
        cls.exe_win = cls.install_win + "\\" + wd.PROGRAM
        cls.uninstaller_win = cls.install_win + "\\Uninstall.exe"
        cls.install = unix_path(cls.install_win)
        cls.shortcut = unix_path(roaming + "\\Microsoft\\Windows\\Start Menu\\Programs\\Kovral.lnk")
        cls.temp = unix_path(temp)
        cls.remove_installation()

    @classmethod
    def wine(cls, *args, timeout=120):
        """Runs a Wine program to its end with the world's log as its output;
        returns its exit status. The first program that needs the desktop
        starts explorer, which keeps that program's output: the log, where the
        harness reads the balloons. So the installer, the uninstaller and
        regedit never run with an output of their own."""
        p = cls.world.popen_wine([str(a) for a in args], cwd=cls.world.workdir)
        try:
            return p.wait(timeout)
        except subprocess.TimeoutExpired:
            os.killpg(p.pid, signal.SIGKILL)
            p.wait()
            raise wd.E2EError(f"{' '.join(map(str, args))} did not finish in {timeout} s")

    @classmethod
    def user_folders(cls):
        """%LOCALAPPDATA%, %APPDATA% and %TEMP% as Wine names them."""
        mark = cls.world.log.mark()
        cls.wine("cmd", "/c", "echo folders=%LOCALAPPDATA%^|%APPDATA%^|%TEMP%")
        for line in cls.world.log.text_since(mark).splitlines():
            if line.startswith("folders="):
                return line[len("folders="):].strip().split("|")
        raise wd.E2EError("cmd did not name the user's folders")

    def restart_world(self):
        self.world.stop()
        self.world.start()
        self.remove_installation()  # also the world's first program, see wine()

    def _stop(self, program):
        if program.alive():
            program.kill()
            self.restart_world()

    @classmethod
    def tearDownClass(cls):
        try:
            if cls.world:
                cls.remove_installation()
        finally:
            super().tearDownClass()

    @classmethod
    def remove_installation(cls):
        """Whatever an installation, or a test stopped half-way, left."""
        shutil.rmtree(cls.install, ignore_errors=True)
        if os.path.exists(cls.shortcut):
            os.remove(cls.shortcut)
        # The uninstaller's copies of itself and the plug-in folders of runs
        # that were stopped.
        for leftover in glob.glob(os.path.join(cls.temp, "~nsu*.tmp")) + glob.glob(os.path.join(cls.temp, "ns*.tmp")):
            shutil.rmtree(leftover, ignore_errors=True)
        with open(os.path.join(cls.world.workdir, "cleanup.reg"), "w", encoding="ascii", newline="\r\n") as f:
            f.write(CLEANUP_REG)
        cls.wine("regedit", "/S", "cleanup.reg")

    def setUp(self):
        self.addCleanup(self.stop_uninstaller_left_up)
        if os.path.exists(self.install) or self.world.registry(UNINST_KEY):
            self.remove_installation()

    def stop_uninstaller_left_up(self):
        if self.world.visible_windows(pattern=UNINSTALL_TITLE):  # a test failed while it asked
            self.restart_world()

    # -- helpers -----------------------------------------------------------
    def setup(self, *args):
        return self.wine(SETUP, *args)

    def install_silently(self, *args):
        self.assertEqual(self.setup("/S", *args), 0, "the silent installation failed")

    def run_value(self):
        return self.world.registry(RUN_KEY).get("Kovral")

    def set_run_value(self, command):
        rc, text = self.world.run_wine("reg", "add", RUN_KEY, "/v", "Kovral", "/t", "REG_SZ", "/d", command, "/f")
        self.assertEqual(rc, 0, text)
        self.assertEqual(self.run_value(), command)

    def state(self):
        """Everything an installation or uninstallation changes (the running
        program's trace aside)."""
        files = tree(self.install)
        files.pop("trace.txt", None)
        return (files, os.path.exists(self.shortcut), self.run_value(),
                self.world.registry(UNINST_KEY))

    def uninstall_windows(self):
        """(page, question): the uninstaller's main window and its message box
        (both carry its title; the message box is the small one)."""
        windows = self.world.visible_windows(pattern=UNINSTALL_TITLE)
        page = [w for w in windows if w[3] >= 400]
        box = [w for w in windows if w[3] < 400]
        return (page[0] if page else None), (box[0] if box else None)

    def press_in(self, window, key):
        """Gives a window the keyboard with a click on its top left corner,
        away from its controls, then presses a key there."""
        _, x, y, _, _ = window
        self.world.click(x + 6, y + 6)
        self.world.key(key)

    def uninstall_with_keys(self, answer, step):
        """Starts the uninstaller as the uninstall key says, presses Enter on
        its first page (Uninstall) and `answer` to its question."""
        command = self.world.registry(UNINST_KEY)["UninstallString"]
        self.assertEqual(command, f'"{self.uninstaller_win}"')
        # It copies itself to a temporary file, starts that and returns.
        self.wine(command.strip('"'))
        page = wd.wait_for("the uninstaller's page", lambda: self.uninstall_windows()[0], timeout=30)
        self.press_in(page, "Return")
        box = wd.wait_for("the question about the settings", lambda: self.uninstall_windows()[1], timeout=30)
        self.shot(step)
        self.press_in(box, answer)
        wd.wait_for("the uninstaller to finish and close",
                    lambda: not os.path.exists(os.path.join(self.install, "Uninstall.exe"))
                    and self.uninstall_windows() == (None, None), timeout=30)

    def assert_registered_parts_gone(self):
        self.assertFalse(os.path.exists(self.shortcut), "the Start-menu shortcut is left")
        self.assertIsNone(self.run_value(), "the Run value is left")
        self.assertEqual(self.world.registry(UNINST_KEY), {}, "the uninstall key is left")

    def start_installed(self, target):
        """Starts an installed executable by its Windows path, the way the
        shortcut does, and waits for its start-up notice."""
        folder = unix_path(target.rsplit("\\", 1)[0])
        program = wd.Program(self.world, folder, ["--sensor-type", "0"])
        program.args[0] = target
        self.world.move(*wd.PARKING_SPOT)
        program.start()
        self.addCleanup(self._stop, program)
        self.addCleanup(self._shot_if_failed)
        self.world.wait_balloon(program.start_notice, tp.DETECTED_EN, "Info", timeout=90)
        return program

    # -- tests ---------------------------------------------------------------
    def test_silent_install_the_shortcut_starts_it_and_a_running_program_blocks_changes(self):
        self.install_silently()
        dist = tree(DIST)
        installed = tree(self.install)
        uninstaller = installed.pop("Uninstall.exe", None)
        self.assertIsNotNone(uninstaller, "no Uninstall.exe")
        self.assertEqual(installed, dist, "the installed files differ from the installation folder")
        with open(os.path.join(self.install, "Uninstall.exe"), "rb") as f:
            self.assertEqual(f.read(2), b"MZ")

        target = shortcut_target(self.shortcut)
        self.assertEqual(target.lower(), self.exe_win.lower(), "the shortcut points elsewhere")
        self.assertEqual(self.run_value(), f'"{self.exe_win}"')
        key = self.world.registry(UNINST_KEY)
        self.assertEqual({k: key.get(k) for k in ("DisplayName", "Publisher", "InstallLocation", "DisplayIcon",
                                                  "UninstallString", "QuietUninstallString", "NoModify",
                                                  "NoRepair")},
                         {"DisplayName": "Kovral", "Publisher": "Kovral", "InstallLocation": self.install_win,
                          "DisplayIcon": self.exe_win, "UninstallString": f'"{self.uninstaller_win}"',
                          "QuietUninstallString": f'"{self.uninstaller_win}" /S', "NoModify": "0x1",
                          "NoRepair": "0x1"})
        self.assertRegex(key.get("DisplayVersion", ""), r"^\d+\.\d+\.\d+")
        # In KB: the program alone is over a megabyte.
        self.assertGreater(int(key.get("EstimatedSize", "0"), 16), 1024)

        # The shortcut's target runs from the installed folder, and its menu
        # item takes the installer's Run value for its own: choosing the
        # checked item removes the value, choosing it again writes it back.
        program = self.start_installed(target)
        for expected in (None, f'"{self.exe_win}"'):
            menu = self.open_tray_menu(program)
            self.shot("menu-checked" if expected is None else "menu-unchecked")
            self.world.click(*wd.menu_item_point(menu[0], wd.TRAY_START_WITH_WINDOWS))
            wd.wait_for("the menu to close", lambda: not program.popups(), timeout=10)
            self.assertEqual(self.run_value(), expected)

        # While it runs, neither a silent installation nor a silent
        # uninstallation changes anything; what they would have put back is
        # missing first, so that a change would show.
        os.remove(self.shortcut)
        os.remove(os.path.join(self.install, "Skins", "Ember", "main.png"))
        self.set_run_value('"C:\\Elsewhere\\KALVORIN_DRX_Driver.exe"')
        before = self.state()
        self.assertNotEqual(self.setup("/S"), 0, "the installation went on while the program ran")
        rc = self.wine(self.uninstaller_win, "/S", f"_?={self.install_win}")
        self.assertNotEqual(rc, 0, "the uninstallation went on while the program ran")
        self.assertEqual(self.state(), before)

        # The uninstaller run by hand asks to exit the program; after Exit
        # from the tray, Retry goes on to its first page.
        self.wine(self.uninstaller_win)
        box = wd.wait_for("the request to exit the program", lambda: self.uninstall_windows()[1], timeout=30)
        self.shot("exit-first")
        self.assertEqual(self.exit_from_tray(program), 0)
        os.remove(program.trace.path)
        self.press_in(box, "r")
        page = wd.wait_for("the uninstaller's page after Retry", lambda: self.uninstall_windows()[0], timeout=30)
        self.assertIsNone(self.uninstall_windows()[1])
        self.press_in(page, "Escape")
        wd.wait_for("the uninstaller to close", lambda: self.uninstall_windows() == (None, None), timeout=30)
        self.assertEqual(self.state(), before, "the cancelled uninstaller changed something")

        # Silent uninstallation keeps the settings, the profiles included;
        # /REMOVESETTINGS takes them too. Run in place (_?=), the uninstaller
        # stays behind.
        profiles = os.path.join(self.install, "Profiles")
        os.makedirs(profiles, exist_ok=True)
        with open(os.path.join(profiles, "Game.kvprofile"), "w", encoding="utf-8") as f:
            f.write("# Kovral profile\n")
        rc = self.wine(self.uninstaller_win, "/S", f"_?={self.install_win}")
        self.assertEqual(rc, 0)
        self.assertEqual(set(tree(self.install)), {"Uninstall.exe", "config.bin", "str.ini", "Profiles/Game.kvprofile"})
        self.assertEqual(self.run_value(), '"C:\\Elsewhere\\KALVORIN_DRX_Driver.exe"',
                         "the Run value of another copy was removed")
        self.assertEqual(self.world.registry(UNINST_KEY), {})
        rc = self.wine(self.uninstaller_win, "/S", "/REMOVESETTINGS", f"_?={self.install_win}")
        self.assertEqual(rc, 0)
        self.assertEqual(set(tree(self.install)), {"Uninstall.exe"})
        self.assertFalse(os.path.isdir(profiles), "the emptied Profiles folder stayed")

    def test_upgrade_keeps_the_settings_and_added_skins(self):
        self.install_silently()
        with open(os.path.join(self.install, "config.bin"), "r+b") as f:
            f.write(b"\x01\x05")  # saved once, first button reassigned
        ini = wd.read_utf16_ini(os.path.join(self.install, "str.ini"))
        ini["Skins"]["Lan"] = "CHS"
        wd.write_utf16_ini(os.path.join(self.install, "str.ini"), ini)
        wd.write_utf16_ini(os.path.join(self.install, "record.ini"), {"Macro 1": {"ItemCount": "0"}})
        mine = os.path.join(self.install, "Skins", "Mine")
        shutil.copytree(os.path.join(self.install, "Skins", "Default"), mine)
        with open(os.path.join(mine, "main.png"), "ab") as f:
            f.write(b"mine")
        # An older version: another executable, a bundled picture missing.
        with open(os.path.join(self.install, wd.PROGRAM), "ab") as f:
            f.write(b"older")
        os.remove(os.path.join(self.install, "Skins", "Ember", "main.png"))
        os.remove(self.shortcut)
        self.set_run_value('"C:\\Elsewhere\\KALVORIN_DRX_Driver.exe"')
        os.makedirs(os.path.join(self.install, "Profiles"))
        with open(os.path.join(self.install, "Profiles", "Game.kvprofile"), "w", encoding="utf-8") as f:
            f.write("# Kovral profile\n")
        kept = {k: v for k, v in tree(self.install).items()
                if k in SETTINGS or k.startswith("Skins/Mine/") or k.startswith("Profiles/")}
        self.assertEqual(len(kept), 4 + len(os.listdir(mine)))

        self.install_silently()
        installed = tree(self.install)
        expected = dict(tree(DIST), **kept)
        expected["Uninstall.exe"] = installed.get("Uninstall.exe")
        self.assertEqual(installed, expected)
        self.assertEqual(shortcut_target(self.shortcut).lower(), self.exe_win.lower())
        self.assertEqual(self.run_value(), f'"{self.exe_win}"', "the chosen Run value was not written")

        # Without "Start Kovral when Windows starts" an upgrade removes the
        # value only where it starts this installation's executable.
        self.set_run_value('"C:\\Elsewhere\\KALVORIN_DRX_Driver.exe"')
        self.install_silently("/NORUN")
        self.assertEqual(self.run_value(), '"C:\\Elsewhere\\KALVORIN_DRX_Driver.exe"')
        self.set_run_value(f'"{self.exe_win.upper()}" --quiet')
        self.install_silently("/NORUN")
        self.assertIsNone(self.run_value())

    def test_uninstall_keeping_then_removing_the_settings(self):
        self.install_silently()
        wd.write_utf16_ini(os.path.join(self.install, "record.ini"), {"Macro 1": {"ItemCount": "0"}})
        # What a program killed while saving leaves: never read, so removed.
        with open(os.path.join(self.install, "config.bin.tmp4242"), "wb") as f:
            f.write(b"half")
        os.makedirs(os.path.join(self.install, "Profiles"))
        with open(os.path.join(self.install, "Profiles", "Game.kvprofile"), "w", encoding="utf-8") as f:
            f.write("# Kovral profile\n")
        settings = {k: v for k, v in tree(self.install).items() if k in SETTINGS or k.startswith("Profiles/")}
        self.assertEqual(len(settings), 4)

        self.uninstall_with_keys("y", "question-keep")
        self.assertEqual(tree(self.install), settings, "the folder holds more or less than the settings")
        self.assert_registered_parts_gone()

        # Installed again over the kept settings, then removed with them.
        self.install_silently()
        self.assertEqual({k: v for k, v in tree(self.install).items()
                          if k in SETTINGS or k.startswith("Profiles/")}, settings)
        self.uninstall_with_keys("n", "question-remove")
        self.assertFalse(os.path.exists(self.install), "the installation folder is left")
        self.assert_registered_parts_gone()


if __name__ == "__main__":
    unittest.main()
