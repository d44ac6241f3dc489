#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Vitrine Dolmar
# SPDX-License-Identifier: GPL-3.0-or-later

# fuzz/run.sh SECONDS [HARNESS...]: builds the libFuzzer harnesses with clang (build-fuzz/) and runs
# each for SECONDS on its corpus in fuzz/corpus/<name>, with inputs up to 1 MiB. New inputs that add
# coverage are merged back into the corpus (minimised). Prints one line of figures per harness and
# fails when a harness finds a crash (the reproducer is left in build-fuzz/crashes/<name>/).
# fuzz/run.sh --build [HARNESS...] only builds them (CI: the harnesses keep compiling and linking).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:?usage: fuzz/run.sh SECONDS|--build [HARNESS...]}
shift
source tools/setup.sh
quelvado_install_packages
for p in clang libclang-rt-14-dev; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="${missing:-} $p"
done
if [ -n "${missing:-}" ]; then
  sudo=""; [ "$(id -u)" -ne 0 ] && sudo="sudo"
  # shellcheck disable=SC2086
  $sudo apt-get install -y -q --no-install-recommends $missing
fi
if [ ! -f build-fuzz/CMakeCache.txt ]; then
  cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DQUELVADO_FUZZ=ON -DQUELVADO_TESTS=OFF
fi
harnesses=("$@")
if [ ${#harnesses[@]} -eq 0 ]; then
  for f in fuzz/fuzz_*.cpp; do harnesses+=("$(basename "$f" .cpp | sed 's/^fuzz_//')"); done
fi
targets=(); for h in "${harnesses[@]}"; do targets+=("fuzz_$h"); done
cmake --build build-fuzz -j"$(nproc)" --target "${targets[@]}"
if [ "$seconds" = "--build" ]; then
  exit 0
fi

status=0
printf '%-14s %8s %12s %10s %8s %8s\n' harness seconds runs exec/s cov corpus
for h in "${harnesses[@]}"; do
  corpus=fuzz/corpus/$h
  work=build-fuzz/work/$h
  crashes=build-fuzz/crashes/$h
  mkdir -p "$corpus" "$work" "$crashes"
  log=build-fuzz/$h.log
  if ! build-fuzz/bin/fuzz_"$h" "$work" "$corpus" -max_len=1048576 -max_total_time="$seconds" \
       -print_final_stats=1 -artifact_prefix="$crashes/" -rss_limit_mb=2048 -timeout=10 >"$log" 2>&1; then
    echo "fuzz_$h found a failure: see $log and $crashes" >&2
    status=1
  fi
  # Keep what adds coverage, minimised, in the committed corpus.
  build-fuzz/bin/fuzz_"$h" -merge=1 -max_len=1048576 "$corpus" "$work" >/dev/null 2>&1 || true
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo 0)
  speed=$(grep -o 'stat::average_exec_per_sec: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo 0)
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | grep -o '[0-9]*' || echo 0)
  printf '%-14s %8s %12s %10s %8s %8s\n' "$h" "$seconds" "$runs" "$speed" "$cov" "$(ls "$corpus" | wc -l)"
done
exit $status
