"""End-to-end tests of the Linux program (Qt 6), simulated mouse.

The walks of the Windows program (test_program, test_basic_page,
test_dialogs, test_skins) run here unchanged against the Linux program: the
same clicks in the same window units, the same trace of the simulated mouse
byte for byte, the same config.bin and str.ini. What differs is the fixture
below: a virtual display with a tray host (trayer) instead of Wine, and a run
of `kovral` whose installation folder (the program and its Skins) is also
its settings folder ($XDG_CONFIG_HOME/kovral), as the Windows program keeps
its files beside itself.

Each walk runs at 100 % and again at 200 % (QT_SCALE_FACTOR=2, the device
pixel ratio a desktop at 192 DPI gives). LinuxDesktop checks what only the
Linux program has, on one program shared between its checks, and takes the
screenshots of both pages, two dialogs, the tray menu and Preferences at both scales in English and
Simplified Chinese (KOVRAL_E2E_SHOTS, build/e2e-shots/linux).

The balloons are read from a notification server on a session bus of the
tests' own (NotificationServer). The walks that need what only Wine shows
(control texts from kvprobe, the registry) are not run here; see WALKS.
"""

import os
import shlex
import shutil
import subprocess
import tempfile
import threading
import time
import unittest

from PIL import Image, ImageChops, ImageFilter, ImageStat

import winedesk as wd
import test_basic_page
import test_dialogs
import test_program
import test_follow
import test_skins
from test_program import ADVANCED_TAB, APPLY, BASIC_TAB, EMPTY_SPOT, OK, PAGE_TITLE, check_apply_traffic

BUILD = os.environ.get("KOVRAL_BUILD_LINUX", "")
WORK = os.environ.get("KOVRAL_E2E_WORK", "/tmp/kovral-e2e-linux")
SHOTS = os.environ.get("KOVRAL_E2E_SHOTS", os.path.join(WORK, "shots"))
ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
SCREEN = (1920, 1440)  # room for the window at 200 %
X_CLASS = "kovral"
WINDOW = (880, 650)  # units: the Default skin's main.png
PICTURE_ONLY = (40, 160, 232, 480)  # the mouse picture of the basic page: no text, no hover, units
APP_NAME = "Kovral"  # the title of a message box without a caption
DIALOG_MIN = (300, 250)  # the smallest skinned dialog, pixels at 100 %
HANDSHAKE_CALLS = 4
# The titles of the system's own dialogs on Windows and here.
SYSTEM_TITLES = {"Color": "Select Color"}  # two challenges and their answers: the program has found the mouse


def str_ini_bytes():
    """str.ini as an installation ships it: UTF-16LE with a byte-order mark, CRLF."""
    with open(os.path.join(ROOT, "packaging", "str.ini.in"), encoding="utf-8") as f:
        text = f.read().replace("\r\n", "\n").replace("\n", "\r\n")
    return b"\xff\xfe" + text.encode("utf-16-le")


def install(folder):
    """An installation folder as a person unpacks one: the program, its
    Skins and the shipped str.ini; the program writes config.bin."""
    if os.path.exists(folder):
        shutil.rmtree(folder)
    os.makedirs(folder)
    # Copied, not linked: the program finds its Skins beside its own file.
    shutil.copy2(os.path.join(BUILD, "kovral"), folder)
    shutil.copytree(os.path.join(ROOT, "Skins"), os.path.join(folder, "Skins"))
    with open(os.path.join(folder, "str.ini"), "wb") as f:
        f.write(str_ini_bytes())
    return folder


class NotificationServer:
    """Keeps every notice, on a private session bus served by a thread's GLib loop."""

    def start(self, env):
        import dbus.mainloop.glib
        import dbus.service
        from gi.repository import GLib
        dbus.mainloop.glib.threads_init()
        self.daemon = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                                       stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        env["DBUS_SESSION_BUS_ADDRESS"] = self.daemon.stdout.readline().strip()
        bus = dbus.bus.BusConnection(env["DBUS_SESSION_BUS_ADDRESS"], mainloop=dbus.mainloop.glib.DBusGMainLoop())
        notices = self.notices = []  # (title, text); list.append is atomic

        class Notifications(dbus.service.Object):
            @dbus.service.method("org.freedesktop.Notifications", in_signature="susssasa{sv}i", out_signature="u")
            def Notify(self, app, replaces, icon, title, text, actions, hints, timeout):
                notices.append((str(title), str(text)))
                return len(notices)

        self.name = dbus.service.BusName("org.freedesktop.Notifications", bus)
        self.server = Notifications(bus, "/org/freedesktop/Notifications")
        threading.Thread(target=GLib.MainLoop().run, daemon=True).start()

    def stop(self):
        self.name = None  # gives the name back while the bus is there to take it
        self.daemon.kill()
        self.daemon.wait()


class LinuxWorld(wd.World):
    """Xvfb and trayer: the desktop the Linux program runs on."""

    def __init__(self, workdir):
        super().__init__(workdir, os.path.join(BUILD, "kvsimctl"), dpi=96, screen=SCREEN)
        self.trayer = None
        self.manager = None
        self.session = None  # the environment of the program now running
        self.notifications = NotificationServer()

    def start(self):
        self.start_display()
        self.notifications.start(self.env)
        os.makedirs(self.workdir, exist_ok=True)
        # A window manager, as every desktop has: it closes the window on
        # Alt+F4 and gives a new window the keyboard.
        self.manager = subprocess.Popen(["openbox", "--sm-disable"], env=self.env, stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL)
        self.trayer = subprocess.Popen(
            ["trayer", "--edge", "top", "--align", "right", "--widthtype", "request", "--height", "24",
             "--transparent", "false", "--tint", "0x303030"],
            env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def stop(self):
        for p in (self.trayer, self.manager):
            if p and p.poll() is None:
                p.kill()
                p.wait()
        self.notifications.stop()
        self.stop_display()

    def simctl(self, *args, timeout=60):
        p = subprocess.run([self.kvsimctl, *map(str, args)], env=self.session or self.env, capture_output=True,
                           text=True, timeout=timeout)
        return p.returncode, p.stdout + p.stderr

    def visible_windows(self, x_class=X_CLASS, name=None, pattern=None):
        return super().visible_windows(x_class, SYSTEM_TITLES.get(name, name), pattern)

    @staticmethod
    def is_tray_icon(window):
        _, _, y, w, h = window
        return y < 40 and w <= 48 and h <= 48

    def tray_window(self):
        icons = [w for w in self.visible_windows() if self.is_tray_icon(w)]
        return icons[0] if icons else None

    def tray_icon_point(self):
        _, x, y, w, h = wait_for_icon(self)
        return x + w // 2, y + h // 2

    def program_windows(self):
        # Asked for at the end of a walk (the system colour dialog's fields):
        # what came before has been checked; this part cannot be.
        raise unittest.SkipTest("the controls of a Qt window cannot be read from outside the program")

    def message_boxes(self, text, caption=None):
        """The program's open message boxes titled `caption` (the program's
        name without one). Qt draws the words itself, where they cannot be
        read from outside: the title and the size tell a box from the
        program's other windows (a skinned dialog is larger, a menu has no
        title)."""
        return [w for w in self.visible_windows(name=caption or APP_NAME)
                if not self.is_tray_icon(w) and w[3] < 2 * DIALOG_MIN[0] and w[4] < 2 * DIALOG_MIN[1]
                and not (w[3] >= DIALOG_MIN[0] and w[4] >= DIALOG_MIN[1])]

    def notice_mark(self):
        return wd.NoticeMark(len(self.notifications.notices), set())

    def balloons_since(self, mark):
        return self.notifications.notices[mark.log:]

    def wait_balloon(self, mark, text, title, timeout=20):
        wd.wait_for(f"the notice {title}: {text!r}", lambda: (title, text) in self.balloons_since(mark),
                    timeout=timeout)


def wait_for_icon(world):
    return wd.wait_for("the tray icon", world.tray_window, timeout=20)


class LinuxProgram(wd.Program):
    """One run of `kovral` in an installation folder that is also its
    settings folder, in a session of its own."""

    def __init__(self, world, folder, extra_args=(), trace_name="trace.txt", scale=1):
        super().__init__(world, folder, extra_args, trace_name)
        self.args = [os.path.join(folder, "kovral"), "--simulate", "--trace", trace_name] + list(extra_args)
        self.scale = scale
        # $XDG_CONFIG_HOME/kovral is the folder; the runtime folder holds the
        # sockets, whose paths must stay short.
        home = os.path.dirname(folder)
        if os.path.basename(folder) != "kovral":
            raise wd.E2EError(f"{folder}: the settings folder of the Linux program is named kovral")
        self.runtime = tempfile.mkdtemp(prefix="kv-")
        # A user's own skins are looked for in $XDG_DATA_HOME: never those of
        # the user running the tests.
        self.env = dict(world.env, XDG_CONFIG_HOME=home, XDG_DATA_HOME=os.path.join(home, "data"),
                        XDG_RUNTIME_DIR=self.runtime, LANG="en_US.UTF-8",
                        LC_ALL="en_US.UTF-8", QT_SCALE_FACTOR=str(scale),
                        GSETTINGS_BACKEND="memory")  # never the settings of the user running the tests
        self.env.pop("QT_QPA_PLATFORM", None)
        self.log_path = os.path.join(home, "kovral.log")

    def start(self):
        self.world.session = self.env
        self.start_notice = self.world.notice_mark()
        with open(self.log_path, "ab") as log:
            self.proc = subprocess.Popen(self.args, cwd=self.folder, env=self.env, stdin=subprocess.DEVNULL,
                                         stdout=log, stderr=log, start_new_session=True)
        return self

    def kill(self):
        if self.alive():
            self.proc.kill()
            self.proc.wait(10)
        shutil.rmtree(self.runtime, ignore_errors=True)

    def device(self, value):
        return wd.device(value, 96 * self.scale)

    def main_window(self):
        best = None
        for w in self.world.visible_windows():
            _, x, y, width, height = w
            if (width >= self.device(300) and height >= self.device(200) and not self.world.is_tray_icon(w)
                    and (best is None or width * height > best[2] * best[3])):
                best = (x, y, width, height)
        return best

    def wait_shown(self, timeout=15):
        # Mapped is not yet drawn: the first paint (which at 200 % decodes the
        # 2x pictures) comes a moment later, and a look taken before it is black.
        window = super().wait_shown(timeout)
        wd.wait_for("the main window's first paint", lambda: self.grab_client().getbbox() is not None, timeout=timeout)
        return window

    def popups(self):
        return [(x, y, w, h) for wid, x, y, w, h in self.world.visible_windows()
                if 4 < w < self.device(300) and h < self.device(200) and not self.world.is_tray_icon((wid, x, y, w, h))]


class LinuxCase:
    """Put before a Windows walk's class: the same walk on the Linux program."""

    SCALE = 1

    @classmethod
    def setUpClass(cls):
        if not BUILD or not os.path.isfile(os.path.join(BUILD, "kovral")):
            raise unittest.SkipTest("KOVRAL_BUILD_LINUX does not hold kovral (run scripts/e2e-linux.sh)")
        cls.world = shared_world()

    @classmethod
    def tearDownClass(cls):
        pass  # the display is the module's

    def folder(self):
        return install(os.path.join(WORK, f"{type(self).__name__}.{self._testMethodName}", "kovral"))

    def new_program(self, folder, args=(), trace_name="trace.txt"):
        return LinuxProgram(self.world, folder, args, trace_name, scale=self.SCALE)

    def wait_started(self, program, balloon=None):
        """Waits for the icon, for the handshake the program sends when it
        finds the mouse and for the notice that says so, when one is named."""
        wait_for_icon(self.world)
        wd.wait_for("the handshake with the mouse",
                    lambda: len(program.trace.calls_since()) >= HANDSHAKE_CALLS or not program.alive(), timeout=30)
        if not program.alive():
            raise wd.E2EError(f"the program ended with {program.proc.returncode}; see {program.log_path}")
        if balloon:
            self.world.wait_balloon(program.start_notice, balloon, "Info")

    def _stop(self, program):
        program.kill()

    def shot(self, step):
        name = f"{type(self).__name__}.{self._testMethodName}.{step}.png"
        return self.world.screenshot(os.path.join(SHOTS, name))

    def menu_item_point(self, menu, item):
        # Qt's menu has no Profiles entry while there are no profiles: the
        # items are counted from the bottom, where Exit is.
        x, y, w, h = menu
        count = wd.TRAY_MENU_ITEMS - 1 if h < self.program_device(135) else wd.TRAY_MENU_ITEMS
        from_bottom = wd.TRAY_MENU_ITEMS - 1 - item
        step = (h - 6) / count
        return x + w // 2, int(y + h - 3 - step * from_bottom - step / 2)

    def program_device(self, value):
        return wd.device(value, 96 * self.SCALE)


_world = []


def shared_world():
    if not _world:
        world = LinuxWorld(os.path.join(WORK, "desktop"))
        world.start()
        _world.append(world)
    return _world[0]


def tearDownModule():
    while _world:
        _world.pop().stop()


# ---------------------------------------------------------------------------
# The Windows walks on the Linux program.

class LinuxStartAndTray(LinuxCase, test_program.StartAndTray):
    pass


class LinuxBasicPage(LinuxCase, test_basic_page.BasicPage):
    pass


class LinuxAdvancedPage(LinuxCase, test_basic_page.AdvancedPage):
    pass


class LinuxDialogs(LinuxCase, test_dialogs.Dialogs):
    pass


class LinuxSkins(LinuxCase, test_skins.Skins):
    pass


class LinuxStartAndTray200(LinuxStartAndTray):
    SCALE = 2


class LinuxBasicPage200(LinuxBasicPage):
    SCALE = 2


class LinuxAdvancedPage200(LinuxAdvancedPage):
    SCALE = 2


class LinuxDialogs200(LinuxDialogs):
    SCALE = 2


# Which walks run: those whose every check can be made on this desktop.
# Left out: Wine's log of tooltips, kvprobe's view of
# controls and text ink, the Windows registry (the pointer settings, the
# Run key), the Windows file dialogs.
WALKS = {
    LinuxStartAndTray: ["test_tray_click_shows_the_window_and_keys_hide_it", "test_hover_over_ok_lights_it",
                        "test_apply_sends_everything_and_saves", "test_ok_applies_and_hides",
                        "test_cancel_sends_nothing_and_restores", "test_edit_then_apply_reaches_the_mouse",
                        "test_silent_mouse_leaves_the_program_usable", "test_close_button_exits",
                        "test_unplug_and_replug"],
    LinuxBasicPage: ["test_button_functions_modes_and_default", "test_keys_in_a_buttons_open_list",
                     "test_report_rate_dpi_stages_and_lighting"],
    LinuxAdvancedPage: ["test_a_macro_from_the_keyboard_to_the_mouse"],
    LinuxDialogs: ["test_every_dialog_in_both_modes", "test_keys_in_a_dialogs_list_and_a_long_typed_speed"],
    LinuxSkins: ["test_choose_a_skin_and_colour_keep_them_and_cancel_changes_nothing"],
}
# At 200 % the walks that place the pointer on the smallest things.
WALKS_200 = {
    LinuxStartAndTray200: ["test_hover_over_ok_lights_it", "test_cancel_sends_nothing_and_restores"],
    LinuxBasicPage200: ["test_report_rate_dpi_stages_and_lighting"],
    LinuxAdvancedPage200: ["test_a_macro_from_the_keyboard_to_the_mouse"],
    LinuxDialogs200: ["test_every_dialog_in_both_modes"],
}
# KOVRAL_E2E_LINUX_ALL=1 runs every walk of WALKS at 200 % as well.
if os.environ.get("KOVRAL_E2E_LINUX_ALL"):
    WALKS_200 = {LinuxStartAndTray200: WALKS[LinuxStartAndTray], LinuxBasicPage200: WALKS[LinuxBasicPage],
                 LinuxAdvancedPage200: WALKS[LinuxAdvancedPage], LinuxDialogs200: WALKS[LinuxDialogs]}

for _cls, _names in list(WALKS.items()) + list(WALKS_200.items()):
    for _name in dir(_cls):
        if _name.startswith("test_") and _name not in _names:
            setattr(_cls, _name, None)  # not collected: unittest takes only what it can call
del _cls, _names, _name  # the loader would take a class left in the module twice


# ---------------------------------------------------------------------------
# What only the Linux program has, on one program shared between the checks.

SINGLE_KEY = 11  # row lists' entry that opens the Single Key dialog


class LinuxDesktop(LinuxCase, test_dialogs.DialogCase):
    """One program for the class; the checks run in order on it."""

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.folder_path = install(os.path.join(WORK, "desktop", "kovral"))
        cls.shared = LinuxProgram(cls.world, cls.folder_path).start()

    @classmethod
    def tearDownClass(cls):
        cls.shared.kill()

    def setUp(self):
        self.program = self.shared
        self.addCleanup(self._shot_if_failed)

    def test_1_start_writes_the_users_files_and_stays_in_the_tray(self):
        self.wait_started(self.program)
        self.assertTrue(self.stays_hidden(self.program, 0.5), "the window shows before the icon is clicked")
        self.assertEqual(len(self.read_config(self.program)), test_program.CONFIG_SIZE)
        self.assertEqual(self.read_config(self.program)[0], 0, "a first start marked config.bin as applied")
        self.assertEqual(os.stat(self.folder_path).st_mode & 0o777, 0o700, "the settings folder is open to others")

    def test_2_a_second_start_shows_the_window_and_exits(self):
        program = self.program
        self.assertIsNone(program.main_window())
        trace = program.trace.lines()
        second = LinuxProgram(self.world, self.folder_path, trace_name="trace-second.txt")
        second.env = program.env  # the same session
        second.start()
        self.addCleanup(second.kill)
        self.assertEqual(second.wait_exit(20), 0)
        program.wait_shown()
        self.assertTrue(program.alive(), "the first copy ended")
        self.assertEqual(second.trace.calls_since(), [], "the second copy talked to the mouse")
        self.assertEqual(program.trace.lines()[:len(trace)], trace)
        self.world.key("Escape")
        program.wait_hidden()

    def test_3_kvsimctl_refusals_say_why(self):
        self.world.simctl_ok("unplug")
        rc, text = self.world.simctl("unplug")
        self.assertEqual(rc, 1)
        self.assertIn("already unplugged", text)
        self.world.simctl_ok("plug")
        rc, text = self.world.simctl("wiggle")
        self.assertEqual(rc, 1)
        self.assertIn("unknown command", text)

    def test_4_screenshots_of_both_pages_and_two_dialogs(self):
        """Both pages, the Single Key and the skins dialog, in English here;
        the Chinese and 200 % sets come from separate runs below."""
        self.take_shots(self.program, "en.100")

    def take_shots(self, program, tag):
        self.program = program
        self.show(program)
        self.world.move(*program.client_point(*EMPTY_SPOT))
        program.wait_still()
        page = self.world.screenshot(os.path.join(SHOTS, f"linux.basic.{tag}.png"))
        title = program.grab_client(PAGE_TITLE)
        program.click_rect(ADVANCED_TAB)
        program.wait_change(PAGE_TITLE, title, "the advanced page")
        self.world.move(*program.client_point(*EMPTY_SPOT))
        program.wait_still()
        self.world.screenshot(os.path.join(SHOTS, f"linux.advanced.{tag}.png"))
        title = program.grab_client(PAGE_TITLE)
        program.click_rect(BASIC_TAB)
        program.wait_change(PAGE_TITLE, title, "the basic page")
        box = self.open_function(2, SINGLE_KEY)
        self.world.key("F5")
        time.sleep(0.3)
        self.world.screenshot(os.path.join(SHOTS, f"linux.single-key.{tag}.png"))
        self.cancel(box)
        program.click_rect(test_skins.SKINS_BUTTON)
        box = self.dialog()
        self.d_centre(box, test_skins.SKIN_FIELD)
        time.sleep(0.4)
        self.world.screenshot(os.path.join(SHOTS, f"linux.skins.{tag}.png"))
        self.world.key("Escape")
        time.sleep(0.2)
        self.world.key("Escape")
        self.dialog_gone()
        self.world.key("Escape")
        program.wait_hidden()
        # The tray menu and Preferences, whose start-up item names the desktop here.
        menu = self.open_tray_menu(program)
        self.world.screenshot(os.path.join(SHOTS, f"linux.menu.{tag}.png"))
        self.world.click(*wd.menu_item_point(menu[0], wd.TRAY_PREFERENCES))
        self.dialog()
        self.world.move(*wd.PARKING_SPOT)
        time.sleep(0.4)
        self.world.screenshot(os.path.join(SHOTS, f"linux.preferences.{tag}.png"))
        self.world.key("Escape")
        self.dialog_gone()
        return page

    def test_5_at_200_percent_and_in_chinese(self):
        self.assertEqual(self.exit_from_tray(self.program), 0)
        window_100 = None
        for scale, lan in ((1, "CHS"), (2, "EN"), (2, "CHS")):
            folder = install(os.path.join(WORK, f"desktop-{scale}-{lan}", "kovral"))
            if lan != "EN":
                ini = wd.read_utf16_ini(os.path.join(folder, "str.ini"))
                ini["Skins"]["Lan"] = lan
                wd.write_utf16_ini(os.path.join(folder, "str.ini"), ini)
            program = LinuxProgram(self.world, folder, scale=scale).start()
            self.addCleanup(program.kill)
            self.wait_started(program)
            tag = f"{lan.lower()}.{scale * 100}"
            self.take_shots(program, tag)
            self.show(program)
            self.world.move(*wd.PARKING_SPOT)
            time.sleep(0.3)
            x, y, w, h = program.main_window()
            self.assertEqual((w, h), (WINDOW[0] * scale, WINDOW[1] * scale), tag)
            window = self.world.grab().crop((x, y, x + w, y + h)).convert("RGB")
            if scale == 1:
                window_100 = window
            else:
                # The @2x pictures are drawn where the 1x ones are, at twice
                # their size: reduced, the picture is the one at 100 %.
                reduced = window.resize(WINDOW, Image.BILINEAR).crop(PICTURE_ONLY)
                difference = ImageStat.Stat(ImageChops.difference(reduced, window_100.crop(PICTURE_ONLY))).mean
                self.assertLess(max(difference), 12, f"the picture at 200 % is not the one at 100 % doubled: {tag}")
            self.assertEqual(self.exit_from_tray(program), 0)
        self.program = self.shared

    def test_6_the_last_exit_leaves_nothing_listening(self):
        self.world.session = self.shared.env
        rc, text = self.world.simctl("plug")
        self.assertEqual(rc, 1)
        self.assertIn("nothing listens", text)

    def test_7_a_new_user_on_wayland_without_a_tray(self):
        """A first start (no str.ini) on a native Wayland compositor that shows
        no tray: the window shows by itself, its texts are white, and a drag
        on a bare spot moves it (the compositor's own move)."""
        folder = install(os.path.join(WORK, "wayland", "kovral"))
        os.remove(os.path.join(folder, "str.ini"))
        program = LinuxProgram(self.world, folder)
        self.addCleanup(program.kill)
        with open(os.path.join(WORK, "wayland", "weston.ini"), "w") as f:
            f.write("[core]\nidle-time=0\n[shell]\npanel-position=none\nlocking=false\n")
        weston = subprocess.Popen(["weston", "--backend=x11-backend.so", "--width=1100", "--height=800",
                                   "--socket=kv-wayland", "--config=" + f.name],
                                  env=dict(self.world.env, XDG_RUNTIME_DIR=program.runtime),
                                  stdout=subprocess.DEVNULL, stderr=open(program.log_path + ".weston", "wb"))
        self.addCleanup(weston.wait)
        self.addCleanup(weston.kill)
        _, ox, oy, _, _ = wd.wait_for("weston's output", lambda: self.world.search_windows(
            ["--class", "^Weston Compositor$"]), timeout=20)[0]
        self.world.move(*wd.PARKING_SPOT)  # weston draws the pointer where it was last
        time.sleep(0.5)

        def output():
            return self.world.grab().crop((ox, oy, ox + 1100, oy + 800)).convert("RGB")

        empty = output()

        def window():
            # What differs from the empty output, without the pointer's few pixels.
            shown = output()
            changed = ImageChops.difference(shown, empty).convert("L").point(lambda v: 255 if v > 24 else 0)
            box = changed.filter(ImageFilter.MinFilter(9)).getbbox()
            if not box or box[2] - box[0] < WINDOW[0] - 8 or box[3] - box[1] < WINDOW[1] - 8:
                return None
            return shown, (box[0] - 4, box[1] - 4)

        program.env = dict(program.env, QT_QPA_PLATFORM="wayland", WAYLAND_DISPLAY="kv-wayland")
        program.env.pop("DISPLAY")
        program.start()
        shown, (left, top) = wd.wait_for("the window, shown without a tray", window, timeout=20)
        rows = shown.crop((left + 260, top + 200, left + 460, top + 336)).convert("L")
        self.assertGreater(sum(1 for v in rows.getdata() if v > 200), 300, "the row texts are not white")
        sx, sy = ox + left + EMPTY_SPOT[0], oy + top + EMPTY_SPOT[1]
        # The press reaches the program, which asks the compositor to move
        # the window: the pointer moves once the compositor has taken it.
        self.world.move(sx, sy)
        self.world.xdotool("mousedown", 1)
        time.sleep(0.3)
        for i in range(1, 5):
            self.world.move(sx - 15 * i, sy - 10 * i)
            time.sleep(0.05)
        self.world.xdotool("mouseup", 1)
        self.world.move(*wd.PARKING_SPOT)
        moved = wd.wait_for("the window to be moved", lambda: (w := window()) and w[1] != (left, top) and w[1],
                            timeout=10)
        self.assertEqual((moved[0] - left, moved[1] - top), (-60, -40))
        # The tray's menu is the window's: a right click, its last item (Exit).
        self.world.click(ox + moved[0] + EMPTY_SPOT[0], oy + moved[1] + EMPTY_SPOT[1], button=3)
        time.sleep(0.5)
        self.world.key("Up")
        self.world.key("Return")
        self.assertEqual(program.wait_exit(10), 0)


# ---------------------------------------------------------------------------
# Profiles that follow the program in front: two X programs and a Wine one.

NATIVE_A, NATIVE_B, WINE_GAME = "kvfront_a", "kvfront_b", test_follow.GAME_A
# Below the main window (centred on the screen), side by side.
FRONT_RECTS = {NATIVE_A: (40, 1180, 300, 120), NATIVE_B: (400, 1180, 300, 120), WINE_GAME: (760, 1180, 300, 120)}
KVCTL = os.path.join(ROOT, "build", "asan", "kvctl")
WIN_BUILD = os.path.join(ROOT, "build", "win")
WINEPREFIX = os.environ.get("KOVRAL_WINEPREFIX", os.path.join(ROOT, "build", "wineprefix"))
# The Profiles dialog, units: its profiles' list, "Add program…" and the list it opens; their rows.
PROFILES_LIST, ADD_PROGRAM, PROGRAM_LIST, ROW = (14, 40), test_follow.BUTTONS["add"], (14, 70), 14


class LinuxFollow(LinuxCase, test_follow.FollowCase):
    """The Windows walk's profiles on the Linux program, each switch compared
    with the Linux kvctl's; the programs in front are two X programs and a
    Windows one under Wine, given the front by a click that the window
    manager (openbox) answers with _NET_ACTIVE_WINDOW."""

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        needed = [KVCTL, os.path.join(BUILD, "kvfront"), os.path.join(WIN_BUILD, WINE_GAME),
                  os.path.join(WINEPREFIX, ".kovral-ready-2")]
        if [path for path in needed if not os.path.exists(path)]:
            raise unittest.SkipTest(f"needs {', '.join(needed)} (scripts/test.sh builds them)")

    @classmethod
    def tearDownClass(cls):
        # Wine's desktop process lives on after its programs, bound to this display.
        subprocess.run(["wineserver", "-k"], env=dict(os.environ, WINEPREFIX=WINEPREFIX), timeout=60, check=False)

    def path_arg(self, path):
        return path

    def kvctl(self, folder, *args):
        paths = ["--config", os.path.join(folder, "config.bin")]
        paths += ["--str", os.path.join(folder, "str.ini")] if args[0] != "factory" else []
        p = subprocess.run([KVCTL, *args, *paths], cwd=folder, env=dict(os.environ, ASAN_OPTIONS="detect_leaks=0"),
                           stdin=subprocess.DEVNULL, capture_output=True, timeout=90)
        self.assertEqual(p.returncode, 0, p.stdout + p.stderr)

    def make_profiles(self, folder, programs=(NATIVE_A, NATIVE_B, WINE_GAME)):
        self.kvctl(folder, "factory")  # the config.bin an installation's first start writes
        super().make_profiles(folder, programs)

    def start_game(self, name):
        geometry = [str(v) for v in FRONT_RECTS[name]]
        env, cwd = dict(self.world.env, WINEPREFIX=WINEPREFIX, WINEDEBUG="-all"), WIN_BUILD
        args = ["wine", name] + geometry
        if name != WINE_GAME:
            # One program under two names: copies, as a process's executable is the file a link leads to.
            cwd = self.world.workdir
            args = [shutil.copy2(os.path.join(BUILD, "kvfront"), os.path.join(cwd, name))] + geometry
        proc = subprocess.Popen(args, cwd=cwd, env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL, start_new_session=True)
        self.addCleanup(self.stop_game, proc)
        wd.wait_for(f"the window of {name}", lambda: self.world.visible_windows(x_class=name), timeout=60)

    def click_game(self, name):
        _, x, y, w, h = self.world.visible_windows(x_class=name)[0]
        self.world.click(x + w // 2, y + h // 2)

    def step(self, before, after):
        """What kvctl switch sends to go from one profile to the next."""
        return self.expected_switches(self.folder_path, before, after)[
            len(self.expected_switches(self.folder_path, before)):]

    def wait_quiet(self, program, mark):
        """The set-feature payloads since `mark` once some came and then none for 0.8 s."""
        seen = [None, time.monotonic()]
        def quiet():
            sent = test_follow.set_features(program.trace.calls_since(mark))
            if sent != seen[0]:
                seen[:] = [sent, time.monotonic()]
            return sent if sent and time.monotonic() - seen[1] >= 0.8 else None
        return wd.wait_for("a switch to end", quiet, timeout=20)

    def switch_to(self, program, action, expected, what):
        """Does `action` and checks the set-features that follow are `expected`."""
        mark = program.trace.mark()
        action()
        wd.wait_for(what, lambda: len(test_follow.set_features(program.trace.calls_since(mark))) >= len(expected),
                    timeout=20)
        time.sleep(0.3)  # and no more
        self.assertEqual(test_follow.set_features(program.trace.calls_since(mark)), expected, what)

    def test_the_mouse_follows_x_and_wine_programs_and_the_dialog_lists_them(self):
        self.folder_path = folder = self.folder()
        self.make_profiles(folder)
        # Beta comes into the folder after the start: the folder's reader
        # sees it without the tray's submenu being opened.
        beta = os.path.join(folder, "Profiles", "Beta.kvprofile")
        os.rename(beta, beta + ".away")
        program = self.launch(folder)
        # A first run saves the texts its rows show at the first showing;
        # after that nothing the following does may write a file.
        self.show(program)
        self.world.key("Escape")
        program.wait_hidden()
        files = {name: wd.file_digest(program.file(name)) for name in ("config.bin", "str.ini")}
        os.rename(beta + ".away", beta)
        for name in (NATIVE_A, NATIVE_B, WINE_GAME):
            self.start_game(name)

        # A known start whatever the programs did as they started: B in front.
        mark = program.trace.mark()
        self.click_game(NATIVE_B)
        self.wait_quiet(program, mark)
        self.switch_to(program, lambda: self.click_game(NATIVE_A), self.step("Beta", "Alpha"), "Beta to Alpha")
        # The Windows program under Wine is named by its .exe.
        self.switch_to(program, lambda: self.click_game(WINE_GAME), self.step("Alpha", "Gamma"), "Alpha to Gamma")
        self.shot("gamma")
        # The program's own window in front: the Desktop settings.
        self.switch_to(program, lambda: program.tray_click(), self.step("Gamma", "desktop"), "Gamma to desktop")
        program.wait_shown()
        self.switch_to(program, lambda: self.click_game(NATIVE_B), self.step("desktop", "Beta"), "desktop to Beta")
        # Clicks on the window that is in front already change nothing.
        mark = program.trace.mark()
        self.click_game(NATIVE_B)
        self.world.settle()
        self.assertEqual(test_follow.set_features(program.trace.calls_since(mark)), [])
        # No window in front, as XWayland says while a native Wayland window
        # has the front: the Desktop settings, once None has lasted.
        no_window = ["xprop", "-root", "-f", "_NET_ACTIVE_WINDOW", "32x", "-set", "_NET_ACTIVE_WINDOW", "0"]
        self.switch_to(program, lambda: subprocess.run(no_window, env=self.world.env, check=True, timeout=10),
                       self.step("Beta", "desktop"), "Beta to desktop")
        self.switch_to(program, lambda: self.click_game(NATIVE_A), self.step("desktop", "Alpha"), "desktop to Alpha")
        # A page's open list holds a switch back; its closing, with the
        # front unchanged, lets it go.
        self.switch_to(program, lambda: program.click_client(*EMPTY_SPOT), self.step("Alpha", "desktop"),
                       "Alpha to desktop")
        mark = program.trace.mark()
        program.click_rect(test_basic_page.row(2))
        self.click_game(NATIVE_B)
        time.sleep(1.5)
        self.shot("list-open")
        self.assertEqual(test_follow.set_features(program.trace.calls_since(mark)), [], "a switch under an open list")
        window = max(self.world.visible_windows(), key=lambda w: w[3] * w[4])[0]
        self.switch_to(program, lambda: self.world.xdotool("key", "--window", window, "Escape"),
                       self.step("desktop", "Beta"), "desktop to Beta as the list closes")
        for name, digest in files.items():
            self.assertEqual(wd.file_digest(program.file(name)), digest, f"following the front changed {name}")

        # The dialog's "Add program" lists the programs with a window open
        # now (and the tray host's panel), the Wine one by its .exe: each
        # chosen in turn joins Delta, a profile without programs.
        with open(os.path.join(folder, "Profiles", "Delta.kvprofile"), "w", encoding="utf-8", newline="\n") as f:
            f.write("".join(l for l in self.profile_text(folder, "Alpha").splitlines(True) if "program = " not in l))
        self.open_tray_menu(program)
        for key in ("Down", "Right", "Up", "Return"):  # Profiles, its last entry: Manage
            self.world.key(key)
            time.sleep(0.15)
        box = wd.wait_for("the Profiles dialog", lambda: [w[1:] for w in self.world.visible_windows()
                          if program.sized(w[3], 300, 420) and program.sized(w[4], 250, 340)], timeout=10)[0]
        click = lambda x, y: self.world.click(box[0] + program.device(x), box[1] + program.device(y))
        listed = sorted([NATIVE_A, NATIVE_B, WINE_GAME, "trayer"], key=str.casefold)
        # Rows: Alpha, kvfront_a, Beta, kvfront_b, Delta, Gamma, kvgame_a.exe.
        click(PROFILES_LIST[0] + 40, PROFILES_LIST[1] + 1 + ROW * 4 + ROW // 2)
        added = []
        for name in (WINE_GAME, NATIVE_A, NATIVE_B):
            click((ADD_PROGRAM[0] + ADD_PROGRAM[2]) // 2, (ADD_PROGRAM[1] + ADD_PROGRAM[3]) // 2)
            time.sleep(0.5)
            self.shot(f"programs-{len(added)}")
            click(PROGRAM_LIST[0] + 30, PROGRAM_LIST[1] + 1 + ROW * (1 + listed.index(name)) + ROW // 2)  # Browse… first
            added.append(f"program = {name}\n")
            wd.wait_for(f"{name} in Delta", lambda: all(l in self.profile_text(folder, "Delta") for l in added),
                        timeout=10)
        self.world.key("Escape")
        self.assertEqual(self.exit_from_tray(program), 0)


# ---------------------------------------------------------------------------
# A profile exported on one system imports on the other to the same bytes.

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))


def ini_lines(data):
    """An INI file's lines without blank ones, whatever its encoding and line ends."""
    text = data.decode("utf-16") if data[:2] in (b"\xff\xfe", b"\xfe\xff") else data.decode("utf-8-sig")
    return [line.strip() for line in text.splitlines() if line.strip()]


class ProfilesAcrossSystems(unittest.TestCase):
    """kvctl of the Windows build (under Wine) and of the Linux build carry a
    profile with macros and three languages' texts both ways."""

    def test_a_profile_goes_to_the_other_system_and_back_unchanged(self):
        native = os.path.join(ROOT, "build", "asan", "kvctl")
        windows = os.path.join(ROOT, "build", "win", "kvctl.exe")
        prefix = os.environ.get("KOVRAL_WINEPREFIX", os.path.join(ROOT, "build", "wineprefix"))
        if not (os.path.exists(native) and os.path.exists(windows) and os.path.exists(os.path.join(prefix, ".kovral-ready-2"))):
            raise unittest.SkipTest("needs build/asan/kvctl, build/win/kvctl.exe and the Wine prefix (scripts/test.sh)")
        env = dict(os.environ, WINEPREFIX=prefix, WINEDEBUG="-all", ASAN_OPTIONS="detect_leaks=0")
        work = tempfile.mkdtemp(prefix="kovral-profile-")
        self.addCleanup(shutil.rmtree, work, True)
        # A profile with macros and a text of each language (the seed's are empty).
        with open(os.path.join(ROOT, "fuzz", "corpus", "profile_fuzz", "exported_with_macros.kvprofile"), encoding="utf-8") as f:
            text = f.read()
        for section, words in (("EN", "Left Click"), ("CHS", "左键单击"), ("CHT", "左鍵單擊")):
            text = text.replace(f"[texts.{section}]\nItem1 = \n", f"[texts.{section}]\nItem1 = {words}\n")
        seed = os.path.join(work, "seed.kvprofile")
        with open(seed, "w", encoding="utf-8", newline="\n") as f:
            f.write(text)

        def files(side):
            folder = os.path.join(work, side)
            os.makedirs(folder, exist_ok=True)
            return [os.path.join(folder, n) for n in ("config.bin", "record.ini", "str.ini")]

        def kvctl(system, command, profile, side):
            paths = files(side)
            if system == "windows":
                z = lambda p: "Z:" + p.replace("/", "\\")
                args = ["wine", windows, command, z(profile), "--config", z(paths[0]), "--record", z(paths[1]),
                        "--str", z(paths[2])]
            else:
                args = [native, command, profile, "--config", paths[0], "--record", paths[1], "--str", paths[2]]
            p = subprocess.run(args, env=env, capture_output=True, text=True, timeout=120)
            self.assertEqual(p.returncode, 0, f"{system} kvctl {command}: {p.stdout}{p.stderr}")

        def read(path):
            with open(path, "rb") as f:
                return f.read()

        linux_out = os.path.join(work, "linux.kvprofile")
        kvctl("linux", "import", seed, "linux")
        kvctl("linux", "export", linux_out, "linux")
        windows_out = os.path.join(work, "windows.kvprofile")
        kvctl("windows", "import", linux_out, "windows")
        kvctl("windows", "export", windows_out, "windows")
        self.assertEqual(read(windows_out), read(linux_out), "Linux's profile written back by Windows")
        # config.bin alike to the byte; the INI files alike line by line (each
        # system's INI writer spaces its sections in its own way).
        linux_files, windows_files = files("linux"), files("windows")
        self.assertEqual(read(windows_files[0]), read(linux_files[0]), "config.bin")
        self.assertEqual((read(linux_files[2])[:2], read(windows_files[2])[:2]), (b"\xff\xfe", b"\xff\xfe"),
                         "str.ini in UTF-16LE on both")
        for linux_file, windows_file in zip(linux_files[1:], windows_files[1:]):
            self.assertEqual(ini_lines(read(windows_file)), ini_lines(read(linux_file)), os.path.basename(linux_file))
        back = os.path.join(work, "back.kvprofile")
        kvctl("linux", "import", windows_out, "back")
        kvctl("linux", "export", back, "back")
        self.assertEqual(read(back), read(windows_out), "Windows' profile written back by Linux")
        self.assertIn("Item1 = 左键单击\n".encode(), read(back))


# ---------------------------------------------------------------------------
# The installed Debian package (scripts/package-check.sh installs it, names
# its desktop entry and a scratch home, and removes it afterwards).

class LinuxInstalledPackage(LinuxCase, test_dialogs.DialogCase):
    """The desktop entry's Exec line starts the installed program for a user
    with nothing of Kovral yet but a skin of their own; it finds the skins in
    /usr/share and in the user's data folder, reaches the tray without the
    mouse, writes the user's files, and "Start with Windows" writes an
    autostart entry that starts the installed program."""

    ENTRY = os.environ.get("KOVRAL_INSTALLED_ENTRY", "")
    HOME = os.environ.get("KOVRAL_INSTALLED_HOME", "")

    @classmethod
    def setUpClass(cls):
        if not cls.ENTRY or not cls.HOME:
            raise unittest.SkipTest("scripts/package-check.sh runs this with the package installed")
        super().setUpClass()

    def exec_line(self):
        with open(self.ENTRY, encoding="utf-8") as f:
            lines = [line.strip() for line in f]
        exec_value = next(line[5:] for line in lines if line.startswith("Exec="))
        # Field codes (%f, %U, ...) stand for files a launcher passes; none here.
        return [word for word in shlex.split(exec_value) if not (len(word) == 2 and word[0] == "%")]

    def test_the_desktop_entry_starts_the_installed_program_for_a_new_user(self):
        home = self.HOME
        config = os.path.join(home, ".config")
        data = os.path.join(home, ".local", "share")
        # A skin of the user's own, chosen in a str.ini of their own: an
        # installed program that looked only in /usr/share would warn that
        # it is incomplete and draw Default.
        shutil.copytree("/usr/share/kovral/Skins/Ember", os.path.join(data, "kovral", "Skins", "Mine"))
        os.makedirs(os.path.join(config, "kovral"))
        with open(os.path.join(config, "kovral", "str.ini"), "wb") as f:
            f.write(str_ini_bytes().replace("Path=Default".encode("utf-16-le"), "Path=Mine".encode("utf-16-le")))
        program = LinuxProgram(self.world, os.path.join(config, "kovral"))
        program.args = self.exec_line()
        program.env.update(HOME=home, XDG_DATA_HOME=data, PATH="/usr/bin:/bin")
        self.program = program
        program.start()
        self.addCleanup(program.kill)
        self.addCleanup(self._shot_if_failed)
        wait_for_icon(self.world)
        self.assertTrue(program.alive(), f"the program ended; see {program.log_path}")
        wd.wait_for("config.bin in the user's folder", lambda: os.path.isfile(program.file("config.bin")), timeout=10)
        self.assertEqual(os.stat(program.folder).st_mode & 0o777, 0o700)
        time.sleep(0.5)  # a warning would be up by now: it comes before the icon
        self.assertEqual(self.world.message_boxes(None, "Warning"), [], "the user's skin was not found")
        self.assertEqual(wd.read_utf16_ini(program.file("str.ini"))["Skins"].get("Path"), "Mine")

        menu = self.open_tray_menu(program)
        self.world.click(*self.menu_item_point(menu[0], wd.TRAY_START_WITH_WINDOWS))
        autostart = os.path.join(config, "autostart", "kovral.desktop")
        wd.wait_for("the autostart entry", lambda: os.path.isfile(autostart), timeout=10)
        with open(autostart, encoding="utf-8") as f:
            exec_value = next(line[5:].strip() for line in f if line.startswith("Exec="))
        self.assertEqual(shlex.split(exec_value), ["/usr/bin/kovral"])
        checked = subprocess.run(["desktop-file-validate", autostart], capture_output=True, text=True)
        self.assertEqual((checked.returncode, checked.stdout + checked.stderr), (0, ""))

        self.assertEqual(self.exit_from_tray(program), 0)
        wd.wait_for("the tray icon to go", lambda: self.world.tray_window() is None, timeout=10)


if __name__ == "__main__":
    unittest.main()
