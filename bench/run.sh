#!/bin/sh
# SPDX-FileCopyrightText: 2026 Vitrine Dolmar
# SPDX-License-Identifier: GPL-3.0-or-later

# Builds the benchmarks in a build folder of their own (Release with debug information, the
# benchmarks switched on), runs them all and prints one table: each action, what it measured, its
# baseline measured in the same run, the ratio, the goal and whether it is met.
#
#   bench/run.sh [BUILD_FOLDER]   (default: build-bench beside this folder)
#
# Needs, besides what the program needs: Google Benchmark (Debian package libbenchmark-dev), zipinfo
# (unzip) and curl. Runs take a few minutes; the machine should be otherwise idle.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(dirname "$here")
build=${1:-$source_dir/build-bench}

missing=""
[ -e /usr/include/benchmark/benchmark.h ] || missing="$missing libbenchmark-dev"
command -v zipinfo > /dev/null || missing="$missing unzip"
command -v curl > /dev/null || missing="$missing curl"
if [ -n "$missing" ]; then
    echo "bench/run.sh: the benchmarks need the Debian packages:$missing" >&2
    echo "  sudo apt-get install$missing" >&2
    exit 1
fi

launcher=""
command -v ccache > /dev/null && launcher="-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"
cmake -S "$source_dir" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUELVADO_BENCH=ON $launcher > "$build.configure.log" 2>&1 \
    || { cat "$build.configure.log" >&2; exit 1; }
benches="bench_startup bench_ziplisting bench_biglisting bench_reader bench_bigrtf bench_exam bench_download bench_history bench_studywindows bench_readiness bench_speech"
targets=""
for b in $benches; do targets="$targets --target $b"; done
# shellcheck disable=SC2086
cmake --build "$build" -j"$(nproc)" $targets > "$build.build.log" 2>&1 \
    || { tail -40 "$build.build.log" >&2; exit 1; }

log=$(mktemp)
trap 'rm -f "$log"' EXIT
for b in $benches; do
    echo "== $b" >&2
    if ! QT_QPA_PLATFORM=offscreen "$build/bin/$b" > "$log.one" 2>&1; then
        echo "ROW|$b|failed|-|-|-|NO" >> "$log"
        sed 's/^/    /' "$log.one" >&2
    fi
    grep -v 'ROW|' "$log.one" | grep -v 'XDG_RUNTIME_DIR' | sed 's/^/    /' >&2 || true
    # A row may follow the colour codes Google Benchmark leaves on its last line.
    grep -o 'ROW|.*' "$log.one" >> "$log" || true
done
rm -f "$log.one"

echo
{
    echo "action|measured|baseline (same run)|ratio|goal|met"
    echo "---|---|---|---|---|---"
    sed 's/^ROW|//' "$log"
} | awk -F'|' '
    { for (i = 1; i <= NF; ++i) { cell[NR, i] = $i; if (length($i) > w[i]) w[i] = length($i) } rows = NR; cols = (NF > cols ? NF : cols) }
    END {
        for (r = 1; r <= rows; ++r) {
            line = "|"
            for (i = 1; i <= cols; ++i) {
                c = cell[r, i]
                if (r == 2) { c = ""; while (length(c) < w[i]) c = c "-" }
                line = line " " sprintf("%-" w[i] "s", c) " |"
            }
            print line
        }
    }'
if grep -q '|NO$' "$log"; then
    echo
    echo "Goals not met: $(grep -c '|NO$' "$log")"
fi
