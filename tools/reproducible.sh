#!/bin/sh
# SPDX-FileCopyrightText: 2026 Vitrine Dolmar
# SPDX-License-Identifier: GPL-3.0-or-later

# tools/reproducible.sh [FOLDER]: builds the Debian package twice and compares the packages byte
# for byte. Each build is `dpkg-buildpackage -us -uc -b` in its own copy of the committed tree
# (git archive HEAD: commit first), at two paths of different lengths, the second also with
# another umask and time zone; the two run at the same time. SOURCE_DATE_EPOCH comes from debian/changelog in both. Prints one
# line per package, "same" or "DIFFERENT", and on a difference the files inside that differ; exits
# 1 then. FOLDER (default: a new temporary folder) keeps the two trees, the logs and the packages.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
work=${1:-$(mktemp -d "${TMPDIR:-/tmp}/quelvado-reproducible.XXXXXX")}
mkdir -p "$work"
work=$(cd "$work" && pwd)

build() { # build N SUBPATH
    dir=$work/$2/quelvado
    rm -rf "$work/$2"
    mkdir -p "$dir"
    git -C "$root" archive HEAD | tar -x -C "$dir"
    echo "==> build $1 in $dir"
    start=$(date +%s)
    if ! (cd "$dir" && dpkg-buildpackage -us -uc -b -j"$(nproc)") >"$work/build-$1.log" 2>&1; then
        tail -n 30 "$work/build-$1.log"
        echo "build $1 failed: $work/build-$1.log"
        exit 2
    fi
    echo "    $(($(date +%s) - start)) s"
}

# The two builds run side by side (each with -j as many processors): on a shared machine the pair
# ends sooner than one after the other.
build 1 a &
first_build=$!
(umask 0002 && export TZ=America/Sao_Paulo && build 2 bb/a-longer-path-for-the-second-build) &
second_build=$!
wait $first_build || exit 2
wait $second_build || exit 2

first=$work/a
second=$work/bb/a-longer-path-for-the-second-build
status=0
found=0
for deb in "$first"/*.deb; do
    name=$(basename "$deb")
    found=$((found + 1))
    if [ ! -f "$second/$name" ]; then
        echo "$name: missing from the second build"
        status=1
    elif cmp -s "$deb" "$second/$name"; then
        echo "$name: same ($(sha256sum <"$deb" | cut -c1-16), $(stat -c %s "$deb") bytes)"
    else
        echo "$name: DIFFERENT"
        status=1
        for n in 1 2; do
            [ $n = 1 ] && from=$deb || from=$second/$name
            rm -rf "$work/x$n" && mkdir -p "$work/x$n"
            dpkg-deb -x "$from" "$work/x$n"
            dpkg-deb -e "$from" "$work/x$n/DEBIAN"
        done
        diff -rq "$work/x1" "$work/x2" || true
    fi
done
if [ "$found" -eq 0 ]; then
    echo "no package was made"
    exit 2
fi
exit $status
