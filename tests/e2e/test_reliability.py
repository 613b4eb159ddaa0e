"""The program's self-checks in simulated-mouse mode, run in the real
executable: every exchange of Apply broken in turn, and the soak of
unplugging, Apply, page switches and dialogs with the process's own resource
counters. After each the window must still take clicks.

KOVRAL_SOAK_CYCLES sets the soak's cycles per phase (CI: 50; the figures in
the README come from 1000)."""

import os
import time
import unittest

import winedesk as wd
from test_program import ADVANCED_TAB, BASIC_TAB, DETECTED_EN, EMPTY_SPOT, PAGE_TITLE, ProgramCase

SOAK_CYCLES = int(os.environ.get("KOVRAL_SOAK_CYCLES", "50"))


class SelfChecks(ProgramCase):

    def run_check(self, plan, extra=(), timeout=900):
        folder = self.folder()
        report = os.path.join(folder, f"{plan}-report.txt")
        self.world.move(*wd.PARKING_SPOT)
        program = wd.Program(self.world, folder, ["--check", plan, f"{plan}-report.txt", *extra]).start()
        self.addCleanup(self._stop, program)
        self.addCleanup(self._shot_if_failed)
        started = time.monotonic()
        wd.wait_for(f"the {plan} report", lambda: os.path.exists(report) or not program.alive(), timeout=timeout,
                    interval=1.0)
        self.assertTrue(program.alive(), f"the program ended during the {plan} check")
        with open(report, encoding="utf-8") as f:
            text = f.read()
        print(f"\n{plan} check, {time.monotonic() - started:.0f} s:\n{text}")
        out = os.environ.get("KOVRAL_E2E_SHOTS")
        if out:
            with open(os.path.join(out, f"{plan}-report.txt"), "w", encoding="utf-8") as f:
                f.write(text)
        return program, text

    def still_usable(self, program):
        self.show(program)
        self.world.move(*program.client_point(*EMPTY_SPOT))
        title = program.grab_client(PAGE_TITLE)
        program.click_rect(ADVANCED_TAB)
        wd.wait_for("the advanced page", lambda: wd.images_differ(program.grab_client(PAGE_TITLE), title, 8) > 20,
                    timeout=5)
        program.click_rect(BASIC_TAB)
        self.shot("after")
        self.assertEqual(self.exit_from_tray(program), 0)

    def test_every_apply_exchange_broken_in_turn(self):
        program, text = self.run_check("faults")
        last = text.strip().splitlines()[-1]
        self.assertRegex(last, r"^faults: (\d+) cases, \1 survived, 0 failed$", text)
        self.assertGreater(int(last.split()[1]), 300)
        self.still_usable(program)

    def test_soak_keeps_the_counters_flat(self):
        program, text = self.run_check("soak", ["--check-cycles", str(SOAK_CYCLES)])
        self.assertEqual(text.strip().splitlines()[-1], "soak: flat", text)
        self.still_usable(program)


if __name__ == "__main__":
    unittest.main()
