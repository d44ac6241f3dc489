#!/usr/bin/env bash
# Sets up what is missing, builds everything and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
source tools/setup.sh

quelvado_install_packages
quelvado_configure build
quelvado_build build
cd build
ctest --output-on-failure -j"$(nproc)" --timeout 600
