#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Vitrine Dolmar
# SPDX-License-Identifier: GPL-3.0-or-later

# Sets up what is missing, builds and starts Quelvado.
set -euo pipefail
cd "$(dirname "$0")"
source tools/setup.sh

quelvado_install_packages
quelvado_configure build -DQUELVADO_TESTS=OFF
quelvado_build build --target quelvado cnt_rtf # the program and the traffic code text it reads

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "No graphical display found: Quelvado was built as build/bin/quelvado;"
  echo "run ./run.sh again from a desktop session to see it."
  exit 0
fi
exec build/bin/quelvado
