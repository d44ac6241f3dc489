#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 Vitrine Dolmar
# SPDX-License-Identifier: GPL-3.0-or-later
"""connects.py SOURCE_DIR: every connect of a signal in src/ names a context object.

What QT_NO_CONTEXTLESS_CONNECT (Qt 6.7) makes a compile error, for Qt 6.4: a connect of a signal
to a function or lambda with no receiver or context, connect(sender, &Sender::signal, functor),
keeps calling the functor after the objects it uses are gone, and runs it on the sender's thread.
Give the object the functor works on: connect(sender, &Sender::signal, this, functor). Prints each
such call and fails on any.
"""

import pathlib
import re
import sys

# Comments, string and character literals: what may hold brackets or commas that are not code.
NOISE = re.compile(r'//[^\n]*|/\*.*?\*/|"(?:\\.|[^"\\\n])*"|\'(?:\\.|[^\'\\\n])*\'', re.S)
CONNECT = re.compile(r"(?<![\w.>])(?:QObject::)?connect\s*\(")
OPEN, CLOSE = "([{", ")]}"


def blank(match):
    """The match with everything but its line ends as spaces, so that positions keep their lines."""
    return re.sub(r"[^\n]", " ", match.group(0))


def arguments(code, start):
    """The top-level arguments of the call whose "(" is at start."""
    depth, angle, args, current = 0, 0, [], start + 1
    i = start
    while i < len(code):
        c = code[i]
        if c in OPEN:
            depth += 1
        elif c in CLOSE:
            depth -= 1
            if depth == 0:
                return args + [code[current:i].strip()]
        elif depth == 1 and code.startswith("->", i):
            i += 1
        elif depth == 1 and c == "<":
            angle += 1
        elif depth == 1 and c == ">":
            angle -= 1
        elif depth == 1 and angle == 0 and c == ",":
            args.append(code[current:i].strip())
            current = i + 1
        i += 1
    return args


def main():
    src = pathlib.Path(sys.argv[1]) / "src"
    faults, count = [], 0
    for path in sorted(src.rglob("*")):
        if path.suffix not in (".h", ".cpp"):
            continue
        code = NOISE.sub(blank, path.read_text(encoding="utf-8"))
        for match in CONNECT.finditer(code):
            args = arguments(code, match.end() - 1)
            count += 1
            if len(args) == 3 and not args[1].startswith("SIGNAL("):
                line = code.count("\n", 0, match.start()) + 1
                faults.append(f"src/{path.relative_to(src).as_posix()}:{line}: connect with no "
                              "context object: name the object the function works on")
    for fault in faults:
        print(fault)
    print(f"connect_context: {len(faults)} of {count} connects have no context object")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
