"""Runs unittest as `python -m unittest -v` does, then lists the slowest
tests and each module's total, so the CI's time can be kept to its budget.

Usage: python3 timed.py NAME... (modules, classes or tests, as unittest takes them)
"""
import sys
import time
import unittest
from collections import defaultdict


class TimedResult(unittest.TextTestResult):
    """Each test's time counts from the end of the one before, so a class's
    set-up (the program's start) counts with its first test."""
    took = {}
    mark = time.monotonic()

    def stopTest(self, test):
        now = time.monotonic()
        TimedResult.took[test.id()] = now - TimedResult.mark
        TimedResult.mark = now
        super().stopTest(test)


def main(names):
    suite = unittest.defaultTestLoader.loadTestsFromNames(names)
    TimedResult.mark = time.monotonic()
    result = unittest.TextTestRunner(verbosity=2, resultclass=TimedResult).run(suite)
    took = TimedResult.took
    modules = defaultdict(float)
    for name, seconds in took.items():
        modules[name.split(".")[0]] += seconds
    print("\nslowest tests:")
    for name, seconds in sorted(took.items(), key=lambda item: -item[1])[:12]:
        print(f"  {seconds:7.1f} s  {name}")
    print("by module: " + ", ".join(f"{m} {s:.0f} s" for m, s in sorted(modules.items(), key=lambda i: -i[1])))
    return 0 if result.wasSuccessful() else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
