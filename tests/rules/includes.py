#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 Vitrine Dolmar
# SPDX-License-Identifier: GPL-3.0-or-later
"""includes.py SOURCE_DIR LIBRARIES QT_HEADERS: holds the layering of src/ by reading the sources.

The order of the areas is the block "```layers" of docs/ARCHITECTURE.md: each line names an area
and the areas it uses; what they use in turn is below it too. Every file of src/<area>/ includes
headers of its own area and of areas below it only, and every library links only libraries of
those areas. A core file (CORE in the area's CMakeLists.txt; LIBRARIES, written by the configure,
lists them with each library's links) includes besides only the standard library, Qt Core, Qt Sql
when its core links it, and the system headers named below. Prints each fault and fails on any.
"""

import os
import pathlib
import re
import sys

# The C++ standard library: C++20 headers and the C library's <cname> forms.
STANDARD = set("""
algorithm any array atomic barrier bit bitset charconv chrono codecvt compare complex concepts
condition_variable coroutine deque exception execution filesystem format forward_list fstream
functional future initializer_list iomanip ios iosfwd iostream istream iterator latch limits list
locale map memory memory_resource mutex new numbers numeric optional ostream queue random ranges
ratio regex scoped_allocator semaphore set shared_mutex source_location span sstream stack
stdexcept stop_token streambuf string string_view syncstream system_error thread tuple
type_traits typeindex typeinfo unordered_map unordered_set utility valarray variant vector version
cassert cctype cerrno cfenv cfloat cinttypes climits clocale cmath csetjmp csignal cstdarg cstddef
cstdint cstdio cstdlib cstring ctime cuchar cwchar cwctype
""".split())

# System headers a core may use, each for what the standard library and Qt Core do not give.
SYSTEM = {
    "*": set(),
    # The system's own interface is reached through common/platform.h alone: opening without
    # blocking on a fifo, locks, flushes, renames, links and loading libraries, on POSIX systems
    # and on Windows.
    "common": {"fcntl.h", "unistd.h", "sys/stat.h", "sys/file.h", "dlfcn.h", "windows.h"},
    # libcurl is loaded at the first download: its declarations.
    "download": {"curl/curl.h"},
    # SQLite, the library under Qt's driver: the system's error number behind a failure of the
    # study history, and its online backup.
    "study": {"sqlite3.h"},
}

# Qt modules a core may use: Qt Core always, these only when the core links them.
QT_LINKED = {"Qt6::Sql": "QtSql"}

INCLUDE = re.compile(r'^[ \t]*#[ \t]*include[ \t]*([<"])([^>"]+)[>"]', re.M)


def read_layers(doc):
    """The areas and, for each, the set of areas below it, from the layers block of doc."""
    match = re.search(r"^```layers\n(.*?)^```", doc.read_text(encoding="utf-8"), re.M | re.S)
    if not match:
        sys.exit(f"{doc}: no ```layers block")
    uses = {}
    for line in match.group(1).splitlines():
        area, _, used = line.partition(":")
        if area.strip():
            uses[area.strip()] = used.split()
    below = {}

    def close(area, path):
        if area in path:
            sys.exit(f"{doc}: the areas form a cycle: {' -> '.join(path + [area])}")
        if area not in below:
            found = set()
            for used in uses.get(area, []):
                if used not in uses:
                    sys.exit(f"{doc}: {area} uses {used}, which the block does not list")
                found |= {used} | close(used, path + [area])
            below[area] = found
        return below[area]

    for area in uses:
        close(area, [])
    return below


def read_libraries(path):
    """{library: (area, core, [files under src/], [links])} from the configure's list."""
    libraries = {}
    for line in path.read_text(encoding="utf-8").splitlines():
        kind, _, rest = line.partition(" ")
        if kind == "library":
            name, area, core = rest.split()
            current = libraries[name] = (area, core == "core", [], [])
        elif kind == "file":
            current[2].append(rest)
        elif kind == "link":
            current[3].append(rest)
    return libraries


def qt_module(name, qt_headers):
    """The Qt module (QtCore, QtGui...) a Qt include belongs to, or None when it is not Qt's."""
    if "/" in name:
        module = name.split("/")[0]
        return module if module.startswith("Qt") and (qt_headers / name).exists() else None
    if (qt_headers / "QtCore" / name).exists():
        return "QtCore"
    for module in sorted(qt_headers.glob("Qt*")):
        if (module / name).exists():
            return module.name
    return None


def main():
    src_root, libraries_file, qt_headers = (pathlib.Path(a) for a in sys.argv[1:4])
    src = src_root / "src"
    below = read_layers(src_root / "docs" / "ARCHITECTURE.md")
    libraries = read_libraries(libraries_file)
    core_of = {}  # file under src/ -> (area, links of its core)
    for area, core, files, links in libraries.values():
        if core:
            for f in files:
                core_of[f] = (area, links)
    faults = []

    def allowed(area, other):
        return other == area or other in below.get(area, set())

    for folder in sorted(p for p in src.iterdir() if p.is_dir()):
        if folder.name not in below:
            faults.append(f"src/{folder.name}: an area the layers of docs/ARCHITECTURE.md leave out")
    for name, (area, core, _, links) in sorted(libraries.items()):
        for link in links:
            other = re.fullmatch(r"quelvado_(\w+?)(_core)?", link)
            if other and other.group(1) in below and not allowed(area, other.group(1)):
                faults.append(f"{name} links {link}: {other.group(1)} is not below {area}")

    files = sorted(p for p in src.glob("*/*") if p.suffix in (".h", ".cpp"))
    for path in files:
        rel = path.relative_to(src).as_posix()
        area = path.parent.name
        core = rel in core_of
        text = path.read_text(encoding="utf-8")
        for match in INCLUDE.finditer(text):
            quote, name = match.groups()
            line = text.count("\n", 0, match.start()) + 1
            where = f"src/{rel}:{line}: {quote}{name}{'>' if quote == '<' else quote}"
            places = ([path.parent / name] if quote == '"' else []) + [src / name]
            header = next((os.path.normpath(p) for p in places if p.is_file()), None)
            other = os.path.relpath(header, src) if header else ""
            if header and not other.startswith(".."):
                other_area = other.split(os.sep)[0]
                if not allowed(area, other_area):
                    faults.append(f"{where}: area {other_area} is not below {area}")
                elif core and other not in core_of:
                    faults.append(f"{where}: a core file includes a header of a window library")
            elif quote == '"':
                faults.append(f"{where}: not a file of src/")
            elif core and name not in STANDARD | SYSTEM["*"] | SYSTEM.get(area, set()):
                module = qt_module(name, qt_headers)
                linked = {QT_LINKED[link] for link in core_of[rel][1] if link in QT_LINKED}
                if module is None:
                    faults.append(f"{where}: a core file includes a system header the check does not name")
                elif module != "QtCore" and module not in linked:
                    faults.append(f"{where}: a core file includes {module}; cores use Qt Core, and Qt "
                                  "Sql where they link it")
    for fault in faults:
        print(fault)
    if faults:
        print(f"layering: {len(faults)} faults; the order is the ```layers block of docs/ARCHITECTURE.md")
        return 1
    print(f"layering: {len(files)} files keep the order of {len(below)} areas")
    return 0


if __name__ == "__main__":
    sys.exit(main())
