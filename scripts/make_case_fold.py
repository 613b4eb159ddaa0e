#!/usr/bin/env python3
"""Prints the case-fold table of src/profiles/file_name_case.cpp.

Every letter of the Basic Multilingual Plane that has a one-letter case fold
(a simple fold; where the full fold is longer, the one-letter lower case), as
runs {first, last, delta, step}: each code point first, first + step, ... last
folds to itself plus delta. The table follows the Unicode version of this
Python; run it again after a Unicode update and paste the rows.
"""
import unicodedata


def simple_fold(c):
    ch = chr(c)
    folded = ch.casefold()
    if len(folded) == 1:
        return ord(folded)
    lower = ch.lower()
    return ord(lower) if len(lower) == 1 else c


def runs():
    folds = {c: simple_fold(c) for c in range(0x10000) if not 0xD800 <= c <= 0xDFFF}
    keys = sorted(c for c, f in folds.items() if f != c)
    out, i = [], 0
    while i < len(keys):
        first, delta = keys[i], folds[keys[i]] - keys[i]
        best = (i, 1)
        for step in (1, 2):
            j = i
            while j + 1 < len(keys) and keys[j + 1] == keys[j] + step and folds[keys[j + 1]] - keys[j + 1] == delta:
                j += 1
            if j > best[0]:
                best = (j, step)
        j, step = best
        out.append((first, keys[j], delta, step))
        i = j + 1
    return out


def main():
    print(f"// Unicode {unicodedata.unidata_version}: {len(runs())} runs.")
    row = []
    for first, last, delta, step in runs():
        row.append(f"{{0x{first:04X}, 0x{last:04X}, {delta}, {step}}}")
        if len(row) == 4:
            print("    " + ", ".join(row) + ",")
            row = []
    if row:
        print("    " + ", ".join(row) + ",")


if __name__ == "__main__":
    main()
