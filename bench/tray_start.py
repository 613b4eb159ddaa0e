#!/usr/bin/env python3
"""Start to tray icon: kovral --simulate against a bare QSystemTrayIcon program.

Usage: bench/tray_start.py [BUILD_DIR] [RUNS]   (default build/linux, 5)

Each run starts the program on a virtual display with a tray host (trayer) in
a fresh settings folder and session, and waits until its icon's window is
mapped in the tray; the median of the runs is printed for both programs, and
their ratio.
"""
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
from xdisplay import XDisplay, wait_for  # noqa: E402


def icon_of(x, x_class):
    return [w for w in x.search_windows(["--class", f"^{x_class}$"]) if w[3] <= 48 and w[4] <= 48 and w[2] < 40]


def time_start(x, command, x_class, scratch):
    env = dict(x.env)
    env["XDG_CONFIG_HOME"] = os.path.join(scratch, "config")
    env["XDG_RUNTIME_DIR"] = os.path.join(scratch, "run")
    os.makedirs(env["XDG_RUNTIME_DIR"], mode=0o700, exist_ok=True)
    started = time.monotonic()
    program = subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        wait_for(f"the tray icon of {command[0]}", lambda: icon_of(x, x_class), timeout=30, interval=0.005)
        return time.monotonic() - started
    finally:
        program.kill()
        program.wait()
        shutil.rmtree(scratch, ignore_errors=True)


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else "build/linux"
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 5
    x = XDisplay((1280, 1024))
    x.start_display()
    trayer = subprocess.Popen(["trayer", "--edge", "top", "--align", "right", "--widthtype", "request"],
                              env=x.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        time.sleep(1)
        results = {}
        for name, command in (("tray_bench", [os.path.join(build, "tray_bench")]),
                              ("kovral", [os.path.join(build, "kovral"), "--simulate"])):
            times = [time_start(x, command, name, tempfile.mkdtemp(prefix="kovral-bench-")) for _ in range(runs)]
            results[name] = statistics.median(times)
            print(f"{name}: start to tray icon {results[name] * 1000:.0f} ms (median of {runs}; "
                  f"{min(times) * 1000:.0f} to {max(times) * 1000:.0f} ms)")
        print(f"kovral / bare: {results['kovral'] / results['tray_bench']:.2f}x")
    finally:
        trayer.kill()
        trayer.wait()
        x.stop_display()


if __name__ == "__main__":
    main()
