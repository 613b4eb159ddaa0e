"""A virtual X display driven as a person would: Xvfb, xdotool, screenshots.

Shared by the Windows program's tests under Wine (winedesk.py) and the Linux
program's (test_linux.py).
"""

import os
import subprocess
import time

from PIL import ImageGrab


class E2EError(AssertionError):
    pass


def wait_for(what, predicate, timeout=10.0, interval=0.1):
    """Polls `predicate` until it returns something true; returns that value."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise E2EError(f"timed out after {timeout:.0f} s waiting for {what}")
        time.sleep(interval)


class XDisplay:
    """Xvfb on a free display, and the input and screenshots of a person."""

    def __init__(self, screen):
        self.screen = screen
        self.xvfb = None
        self.display = None
        self.env = None

    def start_display(self):
        read_fd, write_fd = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", f"{self.screen[0]}x{self.screen[1]}x24",
             "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_fd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_fd)
        pidfile = os.environ.get("KOVRAL_E2E_PIDFILE")
        if pidfile:  # lets the calling script stop the server if this process dies
            with open(pidfile, "a") as f:
                f.write(f"{self.xvfb.pid}\n")
        number = b""
        with os.fdopen(read_fd, "rb") as r:
            deadline = time.monotonic() + 20
            while not number.endswith(b"\n") and time.monotonic() < deadline:
                chunk = r.read(1)
                if not chunk:
                    break
                number += chunk
        if not number.strip():
            raise E2EError("Xvfb did not report a display")
        self.display = ":" + number.decode().strip()
        self.env = dict(os.environ)
        self.env["DISPLAY"] = self.display
        self.env.pop("WAYLAND_DISPLAY", None)

    def stop_display(self):
        if self.xvfb and self.xvfb.poll() is None:
            self.xvfb.terminate()
            try:
                self.xvfb.wait(10)
            except subprocess.TimeoutExpired:
                self.xvfb.kill()
                self.xvfb.wait()
        self.xvfb = None

    def xdotool(self, *args, check=True):
        p = subprocess.run(["xdotool"] + [str(a) for a in args], env=self.env, capture_output=True,
                           text=True, timeout=30)
        if check and p.returncode != 0:
            raise E2EError(f"xdotool {' '.join(map(str, args))}: {p.stderr.strip()}")
        return p.stdout

    def search_windows(self, what):
        """[(id, x, y, w, h)] of the viewable windows `xdotool search` finds
        with the arguments `what` (["--class", re] or ["--name", re])."""
        # Debian 12's xdotool dies of BadWindow when any window (a closing
        # list or dialog, not only a matching one) goes away while it walks the
        # tree, and then prints nothing, which would read as "no windows". It
        # exits 1 without a word when nothing matches, so an X error on stderr
        # means: ask again.
        for _ in range(20):
            p = subprocess.run(["xdotool", "search", "--onlyvisible"] + what, env=self.env,
                               capture_output=True, text=True, timeout=30)
            if "X Error" not in p.stderr:
                break
            time.sleep(0.02)
        else:
            raise E2EError(f"xdotool search {' '.join(what)}: {p.stderr.strip()}")
        windows = []
        for wid in p.stdout.split():
            # xwininfo's absolute corner: xdotool's getwindowgeometry counts a
            # window manager's frame offset twice for a decorated window.
            p = subprocess.run(["xwininfo", "-id", wid], env=self.env, capture_output=True, text=True, timeout=30)
            values = dict(line.strip().split(":", 1) for line in p.stdout.splitlines() if ":" in line)
            try:
                windows.append((wid, int(values["Absolute upper-left X"]), int(values["Absolute upper-left Y"]),
                                int(values["Width"]), int(values["Height"])))
            except (KeyError, ValueError):
                continue  # the window went away between the two calls
        return windows

    def grab(self):
        return ImageGrab.grab(xdisplay=self.display)

    def screenshot(self, path):
        os.makedirs(os.path.dirname(path), exist_ok=True)
        self.grab().save(path)
        return path

    def move(self, x, y):
        self.xdotool("mousemove", "--sync", int(x), int(y))

    def click(self, x, y, button=1):
        self.move(x, y)
        self.xdotool("click", button)

    def drag(self, x, y, to_x, to_y):
        """Presses the left button at one point, moves to another and releases."""
        self.move(x, y)
        self.xdotool("mousedown", 1)
        for i in range(1, 5):
            self.move(x + (to_x - x) * i // 4, y + (to_y - y) * i // 4)
            time.sleep(0.05)
        self.xdotool("mouseup", 1)

    def key(self, name):
        self.xdotool("key", name)
