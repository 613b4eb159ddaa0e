#!/usr/bin/env python3
"""Profiles that follow the program in front, on X11: the Linux program's
figures, on the e2e tests' virtual display (Xvfb, openbox, trayer), with the
tests' profiles (Alpha for kvfront_a, Beta for kvfront_b, Gamma for
kvgame_a.exe under Wine):

- click to switch: from the click on a program's window to the switch's last
  command in the simulated mouse's trace, median of RUNS clicks between the
  two X programs (the trace file, written a line at a time, watched every
  millisecond from the start of the xdotool that clicks, which is counted in);
- idle CPU over 20 s with following on and the programs named, the front
  unchanged (the display's events wake the program, no timer does), from
  /proc/PID/stat.

Usage: bench/follow_x11.py [BUILD_DIR] [RUNS]   (default build/linux, 10)
Needs what test_linux.LinuxFollow needs: build/linux (kovral, kvsimctl,
kvfront), build/asan/kvctl, build/win/kvgame_a.exe and the Wine prefix. Not
a test: it prints figures and fails only when a step cannot be made.
"""
import os
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
BUILD = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "..", "build", "linux"))
RUNS = int(sys.argv[2]) if len(sys.argv) > 2 else 10
os.environ["KOVRAL_BUILD_LINUX"] = BUILD
os.environ.setdefault("KOVRAL_E2E_WORK", tempfile.mkdtemp(prefix="kovral-follow-"))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "e2e"))

import test_linux as tl  # noqa: E402
import winedesk as wd  # noqa: E402
from linux_figures import cpu_seconds  # noqa: E402

IDLE_SECONDS = 20


class Driver(tl.LinuxFollow):
    """The e2e fixture, used outside a test run."""

    def runTest(self):
        pass


def click_to_switch_ms(case, program, name, payloads):
    """Milliseconds from a click on `name`'s window to the first and the last call of the
    switch it causes, which sends `payloads` (set-features): the trace file,
    written a line at a time, is watched every millisecond."""
    _, x, y, w, h = case.world.visible_windows(x_class=name)[0]
    case.world.move(x + w // 2, y + h // 2)
    mark = program.trace.mark()
    size = os.path.getsize(program.trace.path)
    # xdotool returns some 100 ms after its click: the trace is watched meanwhile.
    clicked = time.monotonic()
    click = subprocess.Popen(["xdotool", "click", "1"], env=case.world.env)
    changed, first = clicked, None
    deadline = clicked + 20
    while time.monotonic() < deadline:
        now_size = os.path.getsize(program.trace.path)
        now = time.monotonic()
        if now_size != size:
            size, changed = now_size, now
            first = first or now
        elif first and now - changed > 0.8:
            break
        time.sleep(0.001)
    click.wait(10)
    sent = tl.test_follow.set_features(program.trace.calls_since(mark))
    if sent != payloads:
        raise wd.E2EError(f"the click on {name} sent other commands than kvctl switch does")
    return (first - clicked) * 1000, (changed - clicked) * 1000


def main():
    Driver.setUpClass()
    case = Driver()
    try:
        folder = tl.install(os.path.join(os.environ["KOVRAL_E2E_WORK"], "follow", "kovral"))
        case.folder_path = folder
        case.make_profiles(folder)
        program = tl.LinuxProgram(case.world, folder).start()
        case.addCleanup(program.kill)
        case.wait_started(program)
        for name in (tl.NATIVE_A, tl.NATIVE_B, tl.WINE_GAME):
            case.start_game(name)
        mark = program.trace.mark()
        case.click_game(tl.NATIVE_B)
        case.wait_quiet(program, mark)
        steps = {tl.NATIVE_A: case.step("Beta", "Alpha"), tl.NATIVE_B: case.step("Alpha", "Beta")}
        delays = []
        for i in range(RUNS):
            name = tl.NATIVE_A if i % 2 == 0 else tl.NATIVE_B
            delays.append(click_to_switch_ms(case, program, name, steps[name]))
            time.sleep(0.3)
        case.world.move(*wd.PARKING_SPOT)
        # The last switch's notice (1.5 s on the screen, its fade, the balloon's
        # time) is over: measured 3 s after the switch, its end costs 20 ms.
        time.sleep(8)
        before = cpu_seconds(program.proc.pid)
        time.sleep(IDLE_SECONDS)
        idle_ms = (cpu_seconds(program.proc.pid) - before) * 1000
        case.doCleanups()
    finally:
        case.doCleanups()
        Driver.tearDownClass()
        tl.tearDownModule()

    firsts, lasts = [d[0] for d in delays], [d[1] for d in delays]
    print(f"click to switch on X11: median {statistics.median(lasts):.1f} ms of {RUNS} "
          f"({min(lasts):.1f} to {max(lasts):.1f} ms) to its last command, {statistics.median(firsts):.1f} ms "
          f"to its first; all: " + " ".join(f"{d:.1f}" for d in lasts))
    print(f"idle CPU over {IDLE_SECONDS} s, following on, programs named, front unchanged: {idle_ms:.0f} ms "
          f"(the clock counts in {1000 / os.sysconf('SC_CLK_TCK'):.0f} ms steps)")


if __name__ == "__main__":
    main()
