#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Vitrine Dolmar
# SPDX-License-Identifier: GPL-3.0-or-later

# Sets up what is missing, builds everything and runs every test.
#   ./test.sh             the ordinary build in build/
#   ./test.sh --hardened  a second build in build-hardened/ with warnings as errors, the standard
#                         library's assertions and AddressSanitizer + UndefinedBehaviorSanitizer,
#                         and the whole suite run there (CI runs both)
set -euo pipefail
cd "$(dirname "$0")"
source tools/setup.sh

quelvado_install_packages "${QUELVADO_PACKAGES[@]}" "${QUELVADO_TEST_PACKAGES[@]}"
if [ "${1:-}" = "--hardened" ]; then
  quelvado_configure build-hardened -DQUELVADO_WERROR=ON -DQUELVADO_SANITIZE=ON
  quelvado_build build-hardened
  cd build-hardened
  export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:verify_asan_link_order=0"
  export LSAN_OPTIONS="suppressions=$(pwd)/../tests/lsan.supp:print_suppressions=0"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
  ctest --output-on-failure -j"$(nproc)" --timeout 900
  exit 0
fi
quelvado_configure build
quelvado_tests_on build
quelvado_build build
cd build
ctest --output-on-failure -j"$(nproc)" --timeout 600
