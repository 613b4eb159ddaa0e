#!/usr/bin/env python3
"""Fails when a file under src/ includes a folder above its own.

The order of src/'s folders is the layout table of docs/development.md (the
section "Layout"; the rows naming
`src/<folder>`, bottom first): a file may include its own folder and the
folders of the rows before it. tests/, tools/, fuzz/ and bench/ may include
anything and are not read.

Usage: scripts/check_layers.py [ROOT]   (ROOT: the worktree, default: this script's)
"""
import pathlib
import re
import sys

ROW = re.compile(r"^\|\s*`src/([A-Za-z0-9_]+)`\s*\|")
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"/]+)/[^"]*"')



def read_order(readme):
    order = []
    in_layout = False
    for line in readme.read_text(encoding="utf-8").splitlines():
        if line.startswith("#"):
            in_layout = line.lstrip("#").strip() == "Layout"
            continue
        m = ROW.match(line) if in_layout else None
        if m:
            if m.group(1) in order:
                sys.exit(f"{readme}: src/{m.group(1)} has two rows in the layout table")
            order.append(m.group(1))
    if not order:
        sys.exit(f"{readme}: no `src/<folder>` rows in the table of the section 'Layout'")
    return order


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).resolve().parent.parent)
    src = root / "src"
    layout = root / "docs" / "development.md"
    order = read_order(layout)
    rank = {folder: i for i, folder in enumerate(order)}
    problems = []

    folders = sorted(p.name for p in src.iterdir() if p.is_dir())
    for folder in folders:
        if folder not in rank:
            problems.append(f"src/{folder}/: no row in the layout table of docs/development.md, so it has no place in the order")
    for folder in order:
        if folder not in folders:
            problems.append(f"docs/development.md: the layout table names src/{folder}, which does not exist")

    for path in sorted(src.rglob("*")):
        if not path.is_file():
            continue
        rel = path.relative_to(root).as_posix()
        parts = path.relative_to(src).parts
        own = parts[0] if len(parts) > 1 else None
        if own not in rank:
            if own is None:
                problems.append(f"{rel}: a file directly in src/ has no folder, so no place in the order")
            continue
        try:
            lines = path.read_text(encoding="utf-8").splitlines()
        except UnicodeDecodeError:
            continue  # pictures, icons
        for number, line in enumerate(lines, 1):
            m = INCLUDE.match(line)
            if not m or m.group(1) not in rank:
                continue
            target = m.group(1)
            if rank[target] <= rank[own]:
                continue
            problems.append(f"{rel}:{number}: {own}/ includes {target}/, which is above it "
                            f"({line.strip()})")

    if problems:
        print("Folder order (bottom first): " + " < ".join(order), file=sys.stderr)
        for p in problems:
            print(p, file=sys.stderr)
        return 1
    print(f"include order holds: {' < '.join(order)}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
