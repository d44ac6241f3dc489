#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 Vitrine Dolmar
# SPDX-License-Identifier: GPL-3.0-or-later
"""spdx.py [--check] [SOURCE_DIR]: the copyright and licence lines at the top of every source file.

Code files tracked by git (C++, CMake, shell, Python, JavaScript) carry two lines as their first
comment, after a "#!" line when there is one: the copyright (SPDX "FileCopyrightText", 2026 Vitrine
Dolmar) and the licence (SPDX "License-Identifier", GPL-3.0-or-later).

Without --check, adds them to each code file that has none (a file that already names a licence is
left alone, whatever it names). With --check, changes nothing and fails naming each code file
without them. Data, pictures and texts (the question bank, the traffic code text, the help, the
sign pictures) take their licence from .reuse/dep5 instead; `reuse lint` checks the whole tree.
"""

import subprocess
import sys
from pathlib import Path

# Spelt in two pieces so that `reuse lint` does not read them as this file's own lines.
SPDX = "SPDX" + "-"
COPYRIGHT = SPDX + "FileCopyrightText: 2026 Vitrine Dolmar"
LICENSE = SPDX + "License-Identifier: GPL-3.0-or-later"

# Comment marker by file kind.
SLASHES = (".cpp", ".h", ".mjs", ".js")
HASHES = (".py", ".sh", ".cmake")
HASH_NAMES = ("CMakeLists.txt",)


def marker(path: Path, first_line: str):
    """The comment marker of a code file, or None for a file that is not code."""
    if path.suffix in SLASHES:
        return "//"
    if path.suffix in HASHES or path.name in HASH_NAMES:
        return "#"
    if path.suffix == "" and first_line.startswith("#!") and ("sh" in first_line or "python" in first_line):
        return "#"
    return None


def has_lines(text: str) -> bool:
    head = "\n".join(text.splitlines()[:6])
    return SPDX + "License-Identifier:" in head


def with_lines(text: str, mark: str) -> str:
    lines = text.splitlines(keepends=True)
    header = [f"{mark} {COPYRIGHT}\n", f"{mark} {LICENSE}\n"]
    at = 1 if lines and lines[0].startswith("#!") else 0
    rest = lines[at:]
    # A describing comment right after stays a paragraph of its own.
    if rest and rest[0].startswith(mark):
        header.append("\n")
    return "".join(lines[:at] + header + rest)


def main() -> int:
    args = sys.argv[1:]
    check = "--check" in args
    args = [a for a in args if a != "--check"]
    root = Path(args[0] if args else Path(__file__).resolve().parent.parent)
    names = subprocess.run(["git", "-C", str(root), "ls-files", "-z"], check=True, capture_output=True).stdout
    missing = []
    for name in sorted(n for n in names.decode().split("\0") if n):
        path = root / name
        if path.is_symlink() or not path.is_file():
            continue
        try:
            text = path.read_text(encoding="utf-8")
        except UnicodeDecodeError:
            continue
        mark = marker(path, text.split("\n", 1)[0])
        if mark is None or has_lines(text):
            continue
        missing.append(name)
        if not check:
            path.write_text(with_lines(text, mark), encoding="utf-8")
    if check:
        for name in missing:
            print(f"{name}: no SPDX lines (run tools/spdx.py)")
        return 1 if missing else 0
    for name in missing:
        print(f"added: {name}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
