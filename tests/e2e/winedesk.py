"""Drives the Windows program under Wine on a virtual X display.

A `World` is one Xvfb server plus the Wine prefix's processes bound to it
(wineserver, explorer with its notification area). A `Program` is one run of
KALVORIN_DRX_Driver.exe in a scratch copy of the installation folder.

Everything is observed from outside the program, the way a person would:
windows and pixels on the X display, pointer and keyboard input through
xdotool, the files beside the executable, and the simulator's HID trace. The
texts of notification balloons come from Wine's tooltip debug channel of the
explorer process, which shows every balloon as a tooltip.
"""

import collections
import hashlib
import json
import os
import re
import shutil
import signal
import subprocess
import tempfile
import time

from PIL import Image, ImageChops

from xdisplay import E2EError, XDisplay, wait_for  # noqa: F401 (the tests use them through this module)

PROGRAM = "KALVORIN_DRX_Driver.exe"
X_CLASS = "kalvorin_drx_driver.exe"  # Wine names the X class after the executable
TRAY_NAME = "Wine System Tray"
SCREEN = (1280, 1024)
PARKING_SPOT = (SCREEN[0] - 8, SCREEN[1] - 8)  # a corner no window of the program reaches
# The display for runs at a scale: the window at 192 DPI is 1760 x 1300.
LARGE_SCREEN = (1920, 1440)


def device(value, dpi):
    """A length or coordinate in 96-DPI units at `dpi`, rounded as the program
    rounds (MulDiv: halves away from zero)."""
    n = value * dpi
    q, r = divmod(abs(n), 96)
    q += 1 if 2 * r >= 96 else 0
    return q if n >= 0 else -q


def set_prefix_dpi(dpi):
    """Makes the prefix's programs run at `dpi` (LogPixels, the display scale
    Windows reads at start). Wine's processes must not be running."""
    prefix = os.environ.get("WINEPREFIX", "")
    marker = os.path.join(prefix, ".kovral-dpi")
    try:
        with open(marker) as f:
            if f.read().strip() == str(dpi):
                return
    except OSError:
        if dpi == 96:
            return  # a prefix never set runs at Wine's default, 96
    for key in (r"HKCU\Control Panel\Desktop", r"HKCC\Software\Fonts"):
        subprocess.run(["wine", "reg", "add", key, "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(dpi), "/f"],
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=120, check=True)
    subprocess.run(["wineserver", "-w"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60,
                   check=False)
    with open(marker, "w") as f:
        f.write(f"{dpi}\n")


def file_digest(path):
    if not os.path.exists(path):
        return None
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


# ---------------------------------------------------------------------------
# Wine's debug text of wide strings: printable ASCII as is, '\\', '"' and
# control characters escaped, everything else as \xxxx (four hex digits).

_WSTR = re.compile(r'L"((?:[^"\\]|\\.)*)"')


def decode_debugstr(body):
    out = []
    i = 0
    while i < len(body):
        c = body[i]
        if c != "\\":
            out.append(c)
            i += 1
            continue
        nxt = body[i + 1] if i + 1 < len(body) else ""
        simple = {"n": "\n", "r": "\r", "t": "\t", "\\": "\\", '"': '"'}
        if nxt in simple:
            out.append(simple[nxt])
            i += 2
        elif re.match(r"[0-9a-fA-F]{4}", body[i + 1:i + 5]):
            out.append(chr(int(body[i + 1:i + 5], 16)))
            i += 5
        else:
            out.append(nxt)
            i += 2
    return "".join(out)


def _any_case(text):
    """A POSIX pattern matching `text` exactly in any letter case (xdotool's
    search is case-sensitive)."""
    parts = []
    for c in text:
        if c.isalpha():
            parts.append(f"[{c.lower()}{c.upper()}]")
        elif c.isalnum() or c in "_-":
            parts.append(c)
        else:
            parts.append("\\" + c)
    return "^" + "".join(parts) + "$"


class WineLog:
    """The shared stderr of every Wine process of a world, read by offset."""

    def __init__(self, path):
        self.path = path

    def mark(self):
        return os.path.getsize(self.path) if os.path.exists(self.path) else 0

    def text_since(self, mark):
        with open(self.path, "rb") as f:
            f.seek(mark)
            return f.read().decode("utf-8", "replace")

    def tooltips_since(self, mark):
        """(title, text) of every tooltip shown since `mark`, in order.

        A balloon is a tooltip whose title was set just before it was shown;
        the icon's tip text is shown by another tooltip without a title."""
        shown = []
        titles = {}  # tooltip window -> title
        pending_title = None
        for line in self.text_since(mark).splitlines():
            if "TOOLTIPS_SetTitle" in line:
                m = re.search(r"hwnd = (\w+), title = " + _WSTR.pattern, line)
                if m:
                    titles[m.group(1)] = decode_debugstr(m.group(2))
                    pending_title = titles[m.group(1)]
            elif "TOOLTIPS_Show" in line and "Show tooltip" in line:
                m = _WSTR.search(line)
                if m:
                    shown.append((pending_title, decode_debugstr(m.group(1))))
                    pending_title = None
        return shown


# ---------------------------------------------------------------------------


class World(XDisplay):
    """Xvfb on a free display and the Wine prefix's processes bound to it."""

    def __init__(self, workdir, kvsimctl, dpi=96, screen=SCREEN):
        super().__init__(screen)
        self.workdir = workdir
        self.kvsimctl = kvsimctl
        self.dpi = dpi
        # Built beside kvsimctl.exe by the cross build.
        self.kvprobe = os.path.join(os.path.dirname(kvsimctl), "kvprobe.exe")
        self.log = None
        self._log_file = None

    # -- lifecycle --------------------------------------------------------
    def start(self):
        self._wineserver("-k")
        set_prefix_dpi(self.dpi)
        self.start_display()
        os.makedirs(self.workdir, exist_ok=True)
        log_path = os.path.join(self.workdir, f"wine{self.display.replace(':', '-')}.log")
        self._log_file = open(log_path, "ab")
        self.log = WineLog(log_path)
        # The tooltip channel shows every balloon's title and text; the
        # explorer process that draws them inherits this world's log.
        self.env["WINEDEBUG"] = "-all,+tooltips"

    def stop(self):
        self._wineserver("-k")
        if self.dpi != 96:  # the next user of the prefix expects 100 %
            set_prefix_dpi(96)
        self.stop_display()
        if self._log_file:
            self._log_file.close()
            self._log_file = None

    def _wineserver(self, flag):
        subprocess.run(["wineserver", flag], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                       timeout=60, check=False)
        if flag == "-k":
            subprocess.run(["wineserver", "-w"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                           timeout=60, check=False)

    # -- Wine processes ---------------------------------------------------
    def popen_wine(self, args, cwd):
        # Never pipes: long-lived Wine services started by a process inherit
        # its standard handles and would keep a pipe open for ever.
        return subprocess.Popen(["wine"] + list(args), cwd=cwd, env=self.env,
                                stdin=subprocess.DEVNULL, stdout=self._log_file,
                                stderr=self._log_file, start_new_session=True)

    def simctl(self, *args, timeout=60):
        """Runs kvsimctl.exe; returns (exit status, its output)."""
        return self.run_wine(self.kvsimctl, *args, timeout=timeout)

    def registry(self, key):
        """{value name: data} of a registry key of the prefix, as reg.exe lists it."""
        rc, text = self.run_wine("reg", "query", key)
        values = {}
        for line in text.splitlines():
            parts = line.split(None, 2)
            if len(parts) >= 2 and parts[1].startswith("REG_"):
                values[parts[0]] = parts[2].strip() if len(parts) > 2 else ""
        return values

    def run_wine(self, program, *args, timeout=60):
        """Runs a Wine program to its end; returns (exit status, its output)."""
        with tempfile.TemporaryFile() as out:
            p = subprocess.Popen(["wine", program] + [str(a) for a in args], cwd=self.workdir,
                                 env=self.env, stdin=subprocess.DEVNULL, stdout=out, stderr=out,
                                 start_new_session=True)
            try:
                rc = p.wait(timeout)
            except subprocess.TimeoutExpired:
                os.killpg(p.pid, signal.SIGKILL)
                p.wait()
                raise E2EError(f"{program} {' '.join(map(str, args))} did not finish in {timeout} s")
            out.seek(0)
            text = out.read().decode("utf-8", "replace")
        return rc, text

    def program_windows(self):
        """The program's visible top-level windows as kvprobe reads them:
        [{class, text, rect, visible, enabled, children: [{class, id, text,
        rect, visible, enabled, font, list}]}], rectangles on the screen."""
        if not os.path.exists(self.kvprobe):
            raise E2EError(f"{self.kvprobe} is missing; build the cross build first")
        out = os.path.join(self.workdir, "windows.json")
        if os.path.exists(out):
            os.remove(out)
        rc, text = self.run_wine(self.kvprobe, "windows", out)
        if rc != 0 or not os.path.exists(out):
            raise E2EError(f"kvprobe windows exited {rc}: {text.strip()}")
        with open(out, encoding="ascii") as f:
            return json.load(f)

    def message_boxes(self, text, caption=None):
        """The program's open message boxes that say `text` (and carry
        `caption` as their title, where given), as (hwnd, x, y, w, h) like
        visible_windows. A box with other words is not one of them: a
        Warning where a question was expected does not pass for it."""
        found = []
        for w in self.program_windows():
            if w["class"] != "#32770" or (caption is not None and w["text"] != caption):
                continue
            statics = [c["text"] for c in w["children"] if c["class"].lower() == "static" and c["text"]]
            if text in statics:
                left, top, right, bottom = w["rect"]
                found.append((None, left, top, right - left, bottom - top))
        return found

    def render_texts(self, texts):
        """The ink of each (face, pixel height, weight, DrawTextW format,
        width, height, text) drawn white on black in this prefix, as 8-bit
        grey images."""
        if not os.path.exists(self.kvprobe):
            raise E2EError(f"{self.kvprobe} is missing; build the cross build first")
        folder = tempfile.mkdtemp(prefix="render-", dir=self.workdir)
        listing = os.path.join(folder, "texts.txt")
        with open(listing, "w", encoding="utf-8", newline="\n") as f:
            for t in texts:
                f.write("\t".join(str(v) for v in t) + "\n")
        rc, text = self.run_wine(self.kvprobe, "render", listing, os.path.join(folder, "ink"))
        if rc != 0:
            raise E2EError(f"kvprobe render exited {rc}: {text.strip()}")
        images = []
        for i in range(len(texts)):
            with Image.open(os.path.join(folder, f"ink{i}.pgm")) as im:
                images.append(im.convert("L"))
        shutil.rmtree(folder, ignore_errors=True)
        return images

    def simctl_ok(self, *args):
        rc, text = self.simctl(*args)
        if rc != 0:
            raise E2EError(f"kvsimctl {' '.join(map(str, args))} exited {rc}: {text.strip()}")

    def settle(self):
        """Returns once the program's window has handled what came before.

        A control command is sent, so kvsimctl returns only after the
        program's interface thread has taken it; a notice code the mouse
        never sends does nothing there. The short pause lets the window finish
        the rest of a click (its release and the drag step after it), as a
        person's next action would come after it."""
        self.simctl_ok("notify", 0, 0)
        time.sleep(0.2)

    # -- X display ---------------------------------------------------------
    def visible_windows(self, x_class=X_CLASS, name=None, pattern=None):
        """[(id, x, y, w, h)] of the viewable windows of an X class, a name, or
        a title matching an extended regular expression."""
        if name is not None:
            pattern = f"^{re.escape(name)}$"
        what = ["--name", pattern] if pattern is not None else ["--class", _any_case(x_class)]
        return self.search_windows(what)

    def move(self, x, y):
        if (x, y) == PARKING_SPOT:  # the parking corner of this world's screen
            x, y = self.screen[0] - 8, self.screen[1] - 8
        super().move(x, y)

    # -- notification area ---------------------------------------------------
    def tray_window(self):
        windows = self.visible_windows(name=TRAY_NAME)
        return windows[0] if windows else None

    def tray_icon_point(self):
        """Screen point of the first (only) icon in Wine's stand-alone tray."""
        tray = wait_for("the notification-area window", self.tray_window, timeout=30)
        _, x, y, _, h = tray
        return x + h // 2, y + h // 2

    def balloon_ids(self):
        """X windows of the balloons on the screen (explorer's tooltips with a
        title; the icon's tip is a single line)."""
        tray = self.tray_window()
        return {wid for wid, _, _, _, h in self.visible_windows("explorer.exe")
                if h >= 40 and (tray is None or wid != tray[0])}

    def notice_mark(self):
        return NoticeMark(self.log.mark(), self.balloon_ids())

    def balloons_since(self, mark):  # (title, text), the icon's tip left out
        return [b for b in self.log.tooltips_since(mark.log) if b[1] != "Gaming Mouse Setting"]

    def wake(self):
        rc, text = self.run_wine(self.kvprobe, "wake")
        if rc != 0:
            raise E2EError(f"kvprobe wake exited {rc}: {text.strip()}")

    def wait_balloon(self, mark, text, title, timeout=20):
        """Waits until the balloon with this title and text was shown after
        `mark`, and a new balloon window is on the screen."""
        self.wait_tooltip(mark.log, text, title, timeout)
        wait_for(f"balloon {text!r} on the screen", lambda: self.balloon_ids() - mark.balloons, timeout=20)
        time.sleep(0.3)  # mapped; give explorer the moment it takes to paint it

    def wait_tooltip(self, mark, text, title=None, timeout=20):
        def seen():
            for t, s in self.log.tooltips_since(mark):
                if s == text and (title is None or t == title):
                    return True
            return False
        try:
            wait_for(f"balloon {text!r}", seen, timeout=timeout)
        except E2EError:
            shown = self.log.tooltips_since(mark)
            raise E2EError(f"balloon {text!r} (title {title!r}) not shown; shown since: {shown}")


# ---------------------------------------------------------------------------


Call = collections.namedtuple("Call", "kind report payload failure micros")
# Where the notices stood before an action: the log offset and the balloon
# windows on the screen.
NoticeMark = collections.namedtuple("NoticeMark", "log balloons")


class Trace:
    """The simulator's HID trace: one call per line."""

    LINE = re.compile(r"^(\d+) (SET_FEATURE|GET_FEATURE|WRITE|READ) ([0-9a-f]*)(?:\|([0-9a-f]{16}))?(?: (\S+))?$")

    def __init__(self, path):
        self.path = path

    def lines(self):
        if not os.path.exists(self.path):
            return []
        with open(self.path, "r", encoding="ascii", errors="replace") as f:
            return f.read().splitlines()

    def mark(self):
        return len(self.lines())

    def calls_since(self, mark=0):
        """[Call]: kind, report bytes, plain payload (SET/GET_FEATURE) or None,
        failure text or None, microseconds since the trace began."""
        calls = []
        for line in self.lines()[mark:]:
            if line.startswith("#") or not line.strip():
                continue
            m = self.LINE.match(line)
            if not m:
                raise E2EError(f"malformed trace line: {line!r}")
            payload = bytes.fromhex(m.group(4)) if m.group(4) else None
            calls.append(Call(m.group(2), bytes.fromhex(m.group(3)), payload, m.group(5), int(m.group(1))))
        return calls


class Program:
    """One run of the executable in a folder, in simulated-mouse mode."""

    def __init__(self, world, folder, extra_args=(), trace_name="trace.txt"):
        self.world = world
        self.folder = folder
        self.trace = Trace(os.path.join(folder, trace_name))
        self.args = [PROGRAM, "--simulate", "--trace", trace_name] + list(extra_args)
        self.proc = None
        self.start_notice = None

    def start(self):
        self.start_notice = self.world.notice_mark()
        self.proc = self.world.popen_wine(self.args, cwd=self.folder)
        return self

    def alive(self):
        return self.proc is not None and self.proc.poll() is None

    def wait_exit(self, timeout=30):
        try:
            return self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            raise E2EError(f"the program did not end within {timeout} s")

    def kill(self):
        if self.alive():
            try:
                os.killpg(self.proc.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
            self.proc.wait(10)

    # -- its windows ---------------------------------------------------------
    def main_window(self):
        """(x, y, w, h) of the main window when it is shown, else None."""
        best = None
        for _, x, y, w, h in self.world.visible_windows():
            if w >= 300 and h >= 200 and (best is None or w * h > best[2] * best[3]):
                best = (x, y, w, h)
        return best

    def popups(self):
        """Small viewable windows of the program (menus, lists)."""
        return [(x, y, w, h) for _, x, y, w, h in self.world.visible_windows() if w < 300 and h < 200 and w > 4]

    def wait_shown(self, timeout=15):
        return wait_for("the main window to show", self.main_window, timeout=timeout)

    def wait_hidden(self, timeout=15):
        wait_for("the main window to hide", lambda: self.main_window() is None, timeout=timeout)

    def device(self, value):
        """A client coordinate in 96-DPI units, in the window's pixels."""
        return device(value, self.world.dpi)

    def sized(self, length, low, high):
        """Whether a window's width or height in pixels lies between two
        lengths given in 96-DPI units."""
        return self.device(low) <= length <= self.device(high)

    def client_point(self, x, y):
        """The screen point of a client point given in 96-DPI units."""
        win = self.main_window()
        if win is None:
            raise E2EError("the main window is not shown")
        return win[0] + self.device(x), win[1] + self.device(y)

    def click_client(self, x, y, button=1):
        sx, sy = self.client_point(x, y)
        self.world.click(sx, sy, button)

    def click_rect(self, rect, button=1):
        """Clicks the middle of a client rectangle (left, top, right, bottom)."""
        left, top, right, bottom = rect
        self.click_client((left + right) // 2, (top + bottom) // 2, button)

    def grab_client(self, rect=None):
        win = self.main_window()
        if win is None:
            raise E2EError("the main window is not shown")
        x, y, w, h = win
        shot = self.world.grab()
        if rect is None:
            return shot.crop((x, y, x + w, y + h))
        left, top, right, bottom = (self.device(v) for v in rect)
        return shot.crop((x + left, y + top, x + right, y + bottom))

    def wait_change(self, rect, before, what, timeout=5):
        """Waits until a client rectangle no longer looks like `before`."""
        wait_for(what, lambda: images_differ(self.grab_client(rect), before, 8) > 20, timeout=timeout)

    def wait_still(self, timeout=5):
        """Waits until two looks at the window a moment apart are the same."""
        last = [self.grab_client()]

        def still():
            time.sleep(0.1)
            now = self.grab_client()
            same = images_differ(now, last[0]) == 0
            last[0] = now
            return same
        wait_for("the window to stop changing", still, timeout=timeout)

    # -- tray ----------------------------------------------------------------
    def tray_click(self, button=1, park=True):
        x, y = self.world.tray_icon_point()
        self.world.click(x, y, button)
        if park:
            # Off the icon, so that its tip does not cover the balloons.
            self.world.move(*PARKING_SPOT)

    def file(self, name):
        return os.path.join(self.folder, name)


# The tray menu's items, top to bottom: the Profiles submenu, the profile
# export and import, "Preferences…", "Start with Windows", "Exit".
TRAY_PROFILES, TRAY_EXPORT, TRAY_IMPORT, TRAY_PREFERENCES, TRAY_START_WITH_WINDOWS, TRAY_EXIT = range(6)
TRAY_MENU_ITEMS = 6


def menu_item_point(menu, index, count=TRAY_MENU_ITEMS):
    """Screen point in the middle of item `index` of a menu window (x, y, w, h)
    whose `count` items share its height inside a 3-pixel frame."""
    x, y, w, h = menu
    item = (h - 6) / count
    return x + w // 2, int(y + 3 + item * index + item / 2)


def images_differ(a, b, threshold=0):
    """Number of pixels that differ by more than `threshold` in any channel."""
    diff = ImageChops.difference(a.convert("RGB"), b.convert("RGB"))
    return sum(1 for px in diff.getdata() if max(px) > threshold)


def ink_match(shot, ink, colour, search=2, tolerance=60):
    """How a text's ink (an 8-bit grey image from World.render_texts) differs
    from a screenshot that should show it drawn in `colour`. `shot` covers
    the ink's place widened by `search` pixels on every side, and the best of
    the shifts within that margin counts. Returns (missing, stray): the ink's
    solid pixels the screen does not show in the colour, and the pixels in
    the colour over the ink's place that the ink does not cover. Another
    text, another font or size, or boxes for missing glyphs, leave tens of
    either; the same text in the same font leaves none."""
    w, h = ink.size
    ink_px = list(ink.getdata())
    shot = shot.convert("RGB")
    sw = shot.size[0]
    near = [max(abs(p[0] - colour[0]), abs(p[1] - colour[1]), abs(p[2] - colour[2])) <= tolerance
            for p in shot.getdata()]
    solid = [i for i, a in enumerate(ink_px) if a >= 200]
    blank = [i for i, a in enumerate(ink_px) if a < 48]
    if not solid:
        raise E2EError("the expected text draws no ink")
    best = None
    for dy in range(2 * search + 1):
        for dx in range(2 * search + 1):
            offset = dy * sw + dx
            missing = sum(1 for i in solid if not near[(i // w) * sw + i % w + offset])
            stray = sum(1 for i in blank if near[(i // w) * sw + i % w + offset])
            if best is None or missing + stray < sum(best):
                best = (missing, stray)
    return best


def copy_install(dist_folder, dest):
    if os.path.exists(dest):
        shutil.rmtree(dest)
    shutil.copytree(dist_folder, dest)
    return dest


def read_utf16_ini(path):
    """{section: {key: value}} of a UTF-16LE INI file with a byte-order mark."""
    with open(path, "rb") as f:
        raw = f.read()
    if not raw.startswith(b"\xff\xfe"):
        raise E2EError(f"{path} does not begin with the UTF-16LE byte-order mark")
    text = raw[2:].decode("utf-16-le")
    sections = {}
    current = None
    for line in text.splitlines():
        line = line.strip()
        if line.startswith("[") and line.endswith("]"):
            current = sections.setdefault(line[1:-1], {})
        elif "=" in line and current is not None:
            k, v = line.split("=", 1)
            current[k] = v
    return sections


def write_utf16_ini(path, sections):
    lines = []
    for name, keys in sections.items():
        lines.append(f"[{name}]")
        lines.extend(f"{k}={v}" for k, v in keys.items())
    with open(path, "wb") as f:
        f.write(b"\xff\xfe" + ("\r\n".join(lines) + "\r\n").encode("utf-16-le"))


def png_size(path):
    with Image.open(path) as im:
        return im.size
