#!/bin/sh
# SPDX-FileCopyrightText: 2026 Vitrine Dolmar
# SPDX-License-Identifier: GPL-3.0-or-later

# tools/licensing.sh: every code file carries its copyright and licence lines (tools/spdx.py
# --check) and every file of the tree has a licence whose text is in LICENSES/ (`reuse lint`, of
# Debian's package reuse; the data and pictures take theirs from .reuse/dep5). Exits 77, after the
# first check, where reuse is not installed. A file a branch adds gets its lines with
# `tools/spdx.py && tools/format.sh`.
set -eu
cd "$(dirname "$0")/.."
python3 tools/spdx.py --check
if ! command -v reuse >/dev/null 2>&1; then
    echo "reuse is not installed: the licence of data files was not checked"
    exit 77
fi
reuse lint --quiet || {
    reuse lint | sed -n '/^# /,$p'
    exit 1
}
