#!/bin/sh
# SPDX-FileCopyrightText: 2026 Vitrine Dolmar
# SPDX-License-Identifier: GPL-3.0-or-later

# tools/format.sh [--check]: formats every C++ file of the project with its .clang-format; with
# --check changes nothing and fails naming each file that drifts from it.
set -eu
cd "$(dirname "$0")/.."
command -v clang-format > /dev/null || { echo "format: clang-format is not installed (apt-get install clang-format)" >&2; exit 1; }
if git rev-parse --is-inside-work-tree > /dev/null 2>&1; then
    files=$(git ls-files '*.cpp' '*.h')
else
    files=$(find src tests tools bench fuzz -name '*.cpp' -o -name '*.h')
fi
if [ "${1:-}" = "--check" ]; then
    # shellcheck disable=SC2086
    drift=$(clang-format --dry-run $files 2>&1 | sed -n 's/^\([^:]*\):[0-9]*:[0-9]*: warning: code should be clang-formatted.*/\1/p' | sort -u)
    [ -z "$drift" ] && exit 0
    echo "$drift" | sed 's/^/format: drifts from .clang-format: /' >&2
    echo "format: run tools/format.sh (or cmake --build BUILD --target format) to mend" >&2
    exit 1
fi
# shellcheck disable=SC2086
clang-format -i $files
