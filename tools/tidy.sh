#!/bin/sh
# SPDX-FileCopyrightText: 2026 Vitrine Dolmar
# SPDX-License-Identifier: GPL-3.0-or-later

# tools/tidy.sh [FILE...]: runs clang-tidy with the project's .clang-tidy over the program's sources
# (or the files named), from a clang build folder (build-tidy/: the checks need clang's view of the
# compile commands). Fails on any finding.
set -eu
cd "$(dirname "$0")/.."
command -v clang-tidy > /dev/null || { echo "tidy: clang-tidy is not installed (apt-get install clang-tidy)" >&2; exit 1; }
# Configured again each time (quick once made), so files added or removed since are seen.
cmake -S . -B build-tidy -DCMAKE_CXX_COMPILER=clang++ -DQUELVADO_TESTS=OFF > /dev/null
if [ $# -eq 0 ]; then
    # The sources this platform builds: the other platform's file (platform_windows.cpp here) has
    # no compile command and its system headers are not installed, so it is checked by its own build.
    set -- $(git ls-files 'src/*.cpp' | while read -r f; do
        grep -q "\"file\": \"$PWD/$f\"" build-tidy/compile_commands.json && echo "$f"; done)
fi
printf '%s\n' "$@" | xargs -P "$(nproc)" -n 4 clang-tidy -p build-tidy --quiet
