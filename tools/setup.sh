# SPDX-FileCopyrightText: 2026 Vitrine Dolmar
# SPDX-License-Identifier: GPL-3.0-or-later

# Shared by run.sh and test.sh: installs the Debian packages missing (so a second run is quick) and
# configures the build folder once. run.sh installs what building and running the program needs;
# test.sh adds what only the tests and checks use.
# shellcheck shell=bash

# Building and running: compiler and CMake, Qt with its Brazilian Portuguese texts
# (qt6-translations-l10n), SQLite's headers (the study history calls SQLite beside Qt's driver),
# libcurl, the DejaVu fonts the windows draw with (Sans from -core, Sans
# Condensed from -extra), and dpkg-shlibdeps with file for the Debian package the README makes
# after ./run.sh. Reading aloud: Qt Multimedia plays the voice; espeak-ng's header to build, and
# its library with the Brazilian Portuguese voice (espeak-ng-data) to speak and to run the
# synthesis test (the program loads the library when first asked to read, and runs without it).
QUELVADO_PACKAGES=(
  cmake make g++ pkg-config
  qt6-base-dev qt6-svg-dev qt6-charts-dev libqt6opengl6-dev libqt6sql6-sqlite libsqlite3-dev qt6-qpa-plugins libgl-dev
  qt6-translations-l10n
  libcurl4-openssl-dev
  qt6-multimedia-dev libespeak-ng-dev libespeak-ng1 espeak-ng-data
  fonts-dejavu-core fonts-dejavu-extra
  dpkg-dev file
)

# Only the tests and checks: zip and zipinfo (archive tests), Xlib, Xvfb and xdotool (the program
# as a process on an X server), openssl (the TLS test server), the Debian package's checks
# (desktop-file-validate, appstreamcli, lintian), clang-format for the format check, python3 for
# the checks that read the sources (tests/rules), strace (the listing tool's system calls) and reuse
# (every file's licence).
# shellcheck disable=SC2034 # used by test.sh
QUELVADO_TEST_PACKAGES=(
  zip unzip
  libx11-dev xvfb xdotool
  openssl
  desktop-file-utils appstream lintian
  clang-format python3
  strace
  reuse
)

# The packages named that are not installed.
quelvado_missing_packages() {
  local missing=()
  for p in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$p")
    fi
  done
  echo "${missing[@]}"
}

# Installs what is missing of the packages named (by default those for building and running).
quelvado_install_packages() {
  local missing
  if [ $# -eq 0 ]; then
    set -- "${QUELVADO_PACKAGES[@]}"
  fi
  missing=$(quelvado_missing_packages "$@")
  [ -z "$missing" ] && return 0
  echo "==> Installing: $missing"
  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
  fi
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -q
  # shellcheck disable=SC2086
  $sudo apt-get install -y -q --no-install-recommends $missing
}

quelvado_configure() {
  local build_dir=$1
  shift
  if [ ! -f "$build_dir/CMakeCache.txt" ]; then
    echo "==> Configuring $build_dir"
    cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
  fi
}

# A build folder run.sh made leaves the tests out: switch them on.
quelvado_tests_on() {
  local build_dir=$1
  if ! grep -q '^QUELVADO_TESTS:BOOL=ON$' "$build_dir/CMakeCache.txt"; then
    cmake -S . -B "$build_dir" -DQUELVADO_TESTS=ON
  fi
}

quelvado_build() {
  local build_dir=$1
  shift
  cmake --build "$build_dir" -j"$(nproc)" "$@"
}
