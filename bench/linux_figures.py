#!/usr/bin/env python3
"""The Linux program's figures, measured side by side in one run on one
virtual display with a tray host, printed with their ratios:

- start to tray icon: kovral --simulate against tray_bench, the bare
  QSystemTrayIcon program (median of RUNS starts each, bench/tray_start.py's
  timing);
- resident memory (VmRSS) after the start, against the bare program's, and
  after the window has shown and every dialog has been opened and closed;
- CPU time over 20 s idle with the window hidden (the goal is none);
- a full paint of the window at 200 % (QT_SCALE_FACTOR=2), as the program
  prints it with KOVRAL_PAINT_TIME set.

Usage: bench/linux_figures.py [BUILD_DIR] [RUNS]   (default build/linux, 5)
Needs Xvfb, trayer, xdotool and python3-pil, and a Linux build of kovral,
kvsimctl and tray_bench. Not a test: it prints figures and fails only when a
step cannot be made.
"""
import os
import re
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
BUILD = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "..", "build", "linux"))
RUNS = int(sys.argv[2]) if len(sys.argv) > 2 else 5
os.environ["KOVRAL_BUILD_LINUX"] = BUILD
os.environ.setdefault("KOVRAL_E2E_WORK", tempfile.mkdtemp(prefix="kovral-figures-"))
sys.path.insert(0, HERE)
sys.path.insert(0, os.path.join(HERE, "..", "tests", "e2e"))

import test_linux as tl  # noqa: E402
import winedesk as wd  # noqa: E402
from test_basic_page import entry_point, key_list, row  # noqa: E402
from test_program import ADVANCED_TAB, BASIC_TAB, EMPTY_SPOT, SKINS_BUTTON  # noqa: E402
from tray_start import time_start  # noqa: E402

IDLE_SECONDS = 20
# The row lists' entries that open a dialog: Windows, Multimedia, Fire Key,
# Single Key, Combo Key, Macro Key.
DIALOG_ENTRIES = (8, 9, 10, 11, 12, 13)


def status_kb(pid, field):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith(field + ":"):
                return int(line.split()[1])
    raise RuntimeError(f"no {field} for process {pid}")


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")  # utime + stime


class Driver(tl.LinuxCase, tl.test_dialogs.DialogCase):
    """The e2e fixture's pointer and keys, used outside a test run."""

    def runTest(self):
        pass


def open_every_dialog(case, program):
    """Opens and closes each dialog; returns the ones that did not open."""
    case.program = program
    case.show(program)
    case.park()
    missing = []

    def opened(what, open_it):
        open_it()
        try:
            box = case.dialog()
        except wd.E2EError:
            missing.append(what)
            if program.popups():
                case.world.key("Escape")  # a list left open
            if program.main_window() is None:
                case.show(program)
            return
        case.cancel(box)  # the way a user leaves it

    for entry in DIALOG_ENTRIES:
        def from_row(entry=entry):
            case.open_list(row(2), key_list(2))
            program.click_client(*entry_point(key_list(2), entry))
        opened(f"row entry {entry}", from_row)
        case.park()
    opened("skins", lambda: program.click_rect(SKINS_BUTTON))
    case.park()
    case.world.key("Escape")
    program.wait_hidden()
    return missing


def bare_rss(world):
    scratch = tempfile.mkdtemp(prefix="kovral-bare-")
    env = dict(world.env, XDG_CONFIG_HOME=scratch, XDG_RUNTIME_DIR=scratch)
    bare = subprocess.Popen([os.path.join(BUILD, "tray_bench")], env=env, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)
    try:
        wd.wait_for("the bare icon", lambda: [w for w in world.search_windows(["--class", "^tray_bench$"])
                                              if world.is_tray_icon(w)], timeout=30)
        time.sleep(1)
        return status_kb(bare.pid, "VmRSS")
    finally:
        bare.kill()
        bare.wait()


def main():
    world = tl.shared_world()
    case = Driver()
    case.world = world
    try:
        time.sleep(1)  # trayer up
        starts = {}
        for name, command in (("tray_bench", [os.path.join(BUILD, "tray_bench")]),
                              ("kovral", [os.path.join(BUILD, "kovral"), "--simulate"])):
            times = [time_start(world, command, name, tempfile.mkdtemp(prefix="kovral-bench-")) for _ in range(RUNS)]
            starts[name] = statistics.median(times)
        bare_kb = bare_rss(world)

        folder = tl.install(os.path.join(os.environ["KOVRAL_E2E_WORK"], "figures", "kovral"))
        program = tl.LinuxProgram(world, folder).start()
        try:
            case.wait_started(program)
            time.sleep(1)
            start_kb = status_kb(program.proc.pid, "VmRSS")
            missing = open_every_dialog(case, program)
            time.sleep(1)
            dialogs_kb = status_kb(program.proc.pid, "VmRSS")
            before = cpu_seconds(program.proc.pid)
            time.sleep(IDLE_SECONDS)
            idle_ms = (cpu_seconds(program.proc.pid) - before) * 1000
        finally:
            program.kill()

        folder = tl.install(os.path.join(os.environ["KOVRAL_E2E_WORK"], "figures-200", "kovral"))
        program = tl.LinuxProgram(world, folder, scale=2)
        program.env["KOVRAL_PAINT_TIME"] = "1"
        program.start()
        try:
            case.wait_started(program)
            case.program = program
            case.show(program)
            case.world.move(*program.client_point(*EMPTY_SPOT))
            time.sleep(1)
            for _ in range(3):  # each page change paints the whole window again
                for tab in (ADVANCED_TAB, BASIC_TAB):
                    program.click_rect(tab)
                    time.sleep(0.5)
            case.world.move(*program.client_point(*EMPTY_SPOT))
            time.sleep(0.5)
        finally:
            program.kill()
        with open(program.log_path, encoding="utf-8", errors="replace") as f:
            paints = [float(m) for m in re.findall(r"full paint at ratio 2\.00: ([0-9.]+) ms", f.read())]
    finally:
        tl.tearDownModule()

    print(f"start to tray icon: bare {starts['tray_bench'] * 1000:.0f} ms, kovral {starts['kovral'] * 1000:.0f} ms "
          f"(median of {RUNS}): {starts['kovral'] / starts['tray_bench']:.2f}x")
    print(f"resident memory: bare {bare_kb / 1024:.1f} MB, kovral after start {start_kb / 1024:.1f} MB "
          f"({start_kb / bare_kb:.2f}x), after every dialog {dialogs_kb / 1024:.1f} MB ({dialogs_kb / bare_kb:.2f}x)"
          + (f"; did not open: {', '.join(missing)}" if missing else ""))
    print(f"idle CPU over {IDLE_SECONDS} s, window hidden: {idle_ms:.0f} ms (the clock counts in "
          f"{1000 / os.sysconf('SC_CLK_TCK'):.0f} ms steps)")
    if paints:
        # The first paint also loads the fonts and decodes the pictures.
        later = paints[1:] or paints
        print(f"full paint at 200 %: first {paints[0]:.2f} ms, then {statistics.median(later):.2f} ms (median of "
              f"{len(later)}; {min(later):.2f} to {max(later):.2f} ms)")
    else:
        print("full paint at 200 %: the program printed no figure")


if __name__ == "__main__":
    main()
