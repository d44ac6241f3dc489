#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Vitrine Dolmar
# SPDX-License-Identifier: GPL-3.0-or-later

# Builds Quelvado for 64-bit Windows on Debian 12 and makes its installer, from Debian's own
# packages alone: Qt 6.4.2, SQLite and libcurl are cross-built with MinGW-w64 from Debian's source
# packages (apt-get source), once, into a cache folder outside the checkout, and reused while their
# results are there. Building Qt takes hours on two cores, so CI does not run this script.
#
#   packaging/windows/build.sh [STAGE...]
#
# Stages, in order (with none named: every stage up to the installer):
#   deps       the Debian packages the build needs (the cross compilers, NSIS, Wine, host Qt tools)
#   sources    a deb-src line for bookworm, then apt-get source of each package used
#   sqlite     SQLite as sqlite3.dll
#   curl       libcurl with Windows' own TLS (Schannel)
#   qt         Qt's modules the program uses (qtbase, qtshadertools, qtsvg, qtmultimedia,
#              qtcharts) and the Brazilian Portuguese translations of Qt
#   quelvado   the program and its tests, cross-built
#   installer  Quelvado-<version>-setup.exe with NSIS
#   test       the tests of the cores under Wine, then quelvado.exe under Wine on Xvfb: a
#              screenshot of the main window, and Esc to close it
#
# sqlite, qt (each module) and curl are skipped while their result is in the cache (a file
# stamps/<stage> there); remove the stamp, or the cache, to build one again. The program and the
# installer are built again each time (incrementally). Environment:
#   QUELVADO_WINDOWS_CACHE  the cache folder (default ${XDG_CACHE_HOME:-$HOME/.cache}/quelvado-windows)
#   JOBS                    parallel jobs (default: the number of processors)
set -eu
set -o pipefail

here=$(cd "$(dirname "$0")" && pwd)
checkout=$(cd "$here/../.." && pwd)
cache=${QUELVADO_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/quelvado-windows}
jobs=${JOBS:-$(nproc)}
target=x86_64-w64-mingw32
prefix=$cache/prefix # everything cross-built is installed here: Qt, SQLite, libcurl
stamps=$cache/stamps
sources=$cache/sources
work=$cache/build

case "$cache/" in
"$checkout"/*)
  echo "build.sh: the cache folder $cache is inside the checkout; choose one outside it" >&2
  exit 2
  ;;
esac
mkdir -p "$cache" "$prefix" "$stamps" "$sources" "$work"

# Building Qt must not fill the shared compiler cache of the project's own builds.
unset CMAKE_CXX_COMPILER_LAUNCHER CMAKE_C_COMPILER_LAUNCHER

say() { printf '==> [%s] %s\n' "$(date -u +%H:%M:%S)" "$*"; }
done_stage() { [ -f "$stamps/$1" ]; }
mark_stage() { date -u +%Y-%m-%dT%H:%M:%SZ >"$stamps/$1"; }

apt_install() {
  local missing=() p
  for p in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$p")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo=sudo
  say "Installing ${missing[*]}"
  DEBIAN_FRONTEND=noninteractive $sudo apt-get -o DPkg::Lock::Timeout=900 install -y -q \
    --no-install-recommends "${missing[@]}"
}

# The CMake toolchain of every cross-built part.
toolchain=$cache/mingw-w64.cmake
write_toolchain() {
  cat >"$toolchain" <<EOF
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER $target-gcc-posix)
set(CMAKE_CXX_COMPILER $target-g++-posix)
set(CMAKE_RC_COMPILER $target-windres)
set(CMAKE_FIND_ROOT_PATH /usr/$target $prefix $prefix/qt)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)
EOF
}

stage_deps() {
  # dpkg-dev unpacks source packages; tcl makes SQLite's single source file; the host's Qt 6.4.2
  # tools (moc, rcc, uic, qsb, lrelease) serve the cross build; nsis makes the installer; Wine,
  # Xvfb, xdotool and ImageMagick run and photograph the result.
  apt_install g++-mingw-w64-x86-64-posix qt6-translations-l10n gcc-mingw-w64-x86-64-posix mingw-w64 mingw-w64-tools \
    binutils-mingw-w64-x86-64 cmake ninja-build make pkg-config dpkg-dev tcl perl python3 \
    qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-charts-dev qt6-multimedia-dev \
    qt6-shadertools-dev qt6-shader-baker qt6-l10n-tools libespeak-ng-dev \
    nsis wine wine64 xvfb xdotool x11-apps imagemagick fonts-dejavu-core fonts-dejavu-extra
}

# Debian's source packages this build uses; qt6-multimedia's Windows side plays through Windows
# Media Foundation, qt6-shadertools gives Qt Multimedia its shaders.
source_packages=(sqlite3 curl qt6-base qt6-shadertools qt6-svg qt6-multimedia qt6-charts qt6-translations)

stage_sources() {
  if ! grep -rqsE '^(deb-src|Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    say "Adding a deb-src line for bookworm"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo=sudo
    # The same form and key as Debian 12's own debian.sources: apt refuses two entries of one
    # address that name different keys.
    printf '%s\n' 'Types: deb-src' 'URIs: http://deb.debian.org/debian' \
      'Suites: bookworm bookworm-updates' 'Components: main' \
      'Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg' '' \
      'Types: deb-src' 'URIs: http://deb.debian.org/debian-security' 'Suites: bookworm-security' \
      'Components: main' 'Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg' |
      $sudo tee /etc/apt/sources.list.d/quelvado-windows-src.sources >/dev/null
    $sudo apt-get -o DPkg::Lock::Timeout=900 update -q
  fi
  local p missing=()
  for p in "${source_packages[@]}"; do
    if ! ls -d "$sources/$p"-[0-9]* >/dev/null 2>&1; then
      say "apt-get source $p"
      # A failed fetch leaves its .dsc behind; the next attempt fetches it again whole.
      if ! (cd "$sources" && apt-get source -q -o Acquire::Retries=3 "$p"); then
        rm -f "$sources/${p}"_*.dsc
        missing+=("$p")
      fi
    fi
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "build.sh: could not fetch the source of ${missing[*]}" >&2
    return 1
  fi
}

# The unpacked folder of a source package.
source_dir() {
  local d
  d=$(ls -d "$sources/$1"-[0-9]*/ 2>/dev/null | head -n 1)
  [ -n "$d" ] || {
    echo "build.sh: no source of $1 in $sources; run the sources stage" >&2
    exit 1
  }
  echo "${d%/}"
}

stage_sqlite() {
  local src out=$work/sqlite
  src=$(source_dir sqlite3)
  rm -rf "$out"
  mkdir -p "$out" "$prefix/bin" "$prefix/lib" "$prefix/include"
  # The full tree makes the single-file source on the host (with tclsh); it is then compiled once
  # into the DLL, with the options Debian builds its own library with that matter here.
  (cd "$out" && "$src/configure" --disable-tcl --disable-readline >configure.log && make sqlite3.c)
  $target-gcc-posix -O2 -shared -o "$out/sqlite3.dll" "$out/sqlite3.c" \
    -DSQLITE_API='__declspec(dllexport)' -DSQLITE_THREADSAFE=1 -DSQLITE_ENABLE_FTS5 \
    -DSQLITE_ENABLE_COLUMN_METADATA -DSQLITE_ENABLE_DBSTAT_VTAB -DSQLITE_SECURE_DELETE \
    -DSQLITE_ENABLE_UNLOCK_NOTIFY -DSQLITE_MAX_VARIABLE_NUMBER=250000 \
    -Wl,--out-implib,"$out/libsqlite3.dll.a" -static-libgcc
  cp "$out/sqlite3.dll" "$prefix/bin/"
  cp "$out/libsqlite3.dll.a" "$prefix/lib/"
  cp "$out/sqlite3.h" "$src/src/sqlite3ext.h" "$prefix/include/" 2>/dev/null ||
    cp "$out/sqlite3.h" "$prefix/include/"
}

# Configures, builds and installs one Qt module into $prefix/qt.
qt_module() {
  local name=$1 src
  shift
  src=$(source_dir "$name")
  say "Qt: $name ($src)"
  rm -rf "$work/$name"
  cmake -G Ninja -S "$src" -B "$work/$name" \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix/qt" \
    -DCMAKE_PREFIX_PATH="$prefix/qt;$prefix" \
    -DQT_HOST_PATH=/usr \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
    -DQT_BUILD_MANUAL_TESTS=OFF -DQT_BUILD_TOOLS_WHEN_CROSSCOMPILING=OFF \
    "$@" 2>&1 | tail -n 80
  cmake --build "$work/$name" -j"$jobs"
  cmake --install "$work/$name"
}

stage_qt() {
  local t0 t1
  if ! done_stage qtbase; then
    t0=$(date +%s)
    # Only what the program uses: Widgets, Print Support, SQL with SQLite (Debian's source has no
    # bundled SQLite: the one built above), Network (for Qt Multimedia) without OpenSSL, Test.
    # Debian's source leaves out the Wintab headers: no tablet events (a mouse and keyboard
    # program).
    qt_module qt6-base \
      -DQT_FEATURE_dbus=OFF -DQT_FEATURE_openssl=OFF -DQT_FEATURE_schannel=ON \
      -DQT_FEATURE_sql=ON -DQT_FEATURE_sql_sqlite=ON -DQT_FEATURE_system_sqlite=ON \
      -DQT_FEATURE_sql_odbc=OFF -DQT_FEATURE_sql_psql=OFF -DQT_FEATURE_sql_mysql=OFF \
      -DQT_FEATURE_sql_ibase=OFF -DQT_FEATURE_sql_oci=OFF -DQT_FEATURE_sql_db2=OFF \
      -DQT_FEATURE_printsupport=ON -DQT_FEATURE_testlib=ON -DQT_FEATURE_concurrent=ON \
      -DQT_FEATURE_opengl=ON -DQT_FEATURE_opengl_dynamic=ON \
      -DQT_FEATURE_accessibility=ON -DQT_FEATURE_vulkan=OFF -DQT_FEATURE_tabletevent=OFF \
      -DSQLite3_INCLUDE_DIR="$prefix/include" -DSQLite3_LIBRARY="$prefix/lib/libsqlite3.dll.a"
    mark_stage qtbase
    t1=$(date +%s)
    say "qtbase took $(((t1 - t0) / 60)) min"
  fi
  local m unfetched=()
  for m in qt6-shadertools qt6-multimedia qt6-svg qt6-charts; do
    if ! ls -d "$sources/$m"-[0-9]* >/dev/null 2>&1; then
      unfetched+=("$m") # the others are built meanwhile; the stage fails at its end
      continue
    fi
    if ! done_stage "$m"; then
      t0=$(date +%s)
      qt_module "$m"
      mark_stage "$m"
      t1=$(date +%s)
      say "$m took $(((t1 - t0) / 60)) min"
    fi
  done
  if ! done_stage qt6-translations; then
    # Qt's own texts in Brazilian Portuguese (the dialogs' buttons): compiled on the host, as they
    # do not depend on the system they run on.
    # Without the source, Debian's compiled ones (qt6-translations-l10n, the same 6.4.2 texts).
    local src=
    mkdir -p "$prefix/qt/translations"
    if ls -d "$sources/qt6-translations"-[0-9]* >/dev/null 2>&1; then
      src=$(source_dir qt6-translations)
    fi
    for m in qtbase qtmultimedia; do
      if [ -n "$src" ] && [ -f "$src/translations/${m}_pt_BR.ts" ]; then
        /usr/lib/qt6/bin/lrelease -silent "$src/translations/${m}_pt_BR.ts" \
          -qm "$prefix/qt/translations/${m}_pt_BR.qm"
      elif [ -f "/usr/share/qt6/translations/${m}_pt_BR.qm" ]; then
        cp "/usr/share/qt6/translations/${m}_pt_BR.qm" "$prefix/qt/translations/"
      fi
    done
    [ -f "$prefix/qt/translations/qtbase_pt_BR.qm" ] || {
      echo "build.sh: qtbase_pt_BR.qm was not made" >&2
      exit 1
    }
    mark_stage qt6-translations
  fi
  if [ ${#unfetched[@]} -gt 0 ]; then
    echo "build.sh: no source of ${unfetched[*]}: run the sources stage again" >&2
    return 1
  fi
}

stage_curl() {
  local src out=$work/curl
  src=$(source_dir curl)
  rm -rf "$out"
  mkdir -p "$out"
  # Windows' own TLS and certificate store (Schannel); nothing else linked in. The library is
  # libcurl-4.dll, the name the program loads.
  (cd "$out" && "$src/configure" --host=$target --prefix="$prefix" \
    --with-schannel --without-openssl --without-gnutls --without-zlib --without-brotli \
    --without-zstd --without-libpsl --without-libidn2 --without-nghttp2 --without-libssh2 \
    --without-librtmp --disable-ldap --disable-ldaps --disable-manual --disable-static \
    --enable-shared >configure.log)
  make -C "$out/lib" -j"$jobs"
  make -C "$out/lib" install
  make -C "$out/include" install
  [ -f "$prefix/bin/libcurl-4.dll" ] || {
    echo "build.sh: libcurl-4.dll was not installed in $prefix/bin" >&2
    exit 1
  }
}

# The tests of the cores: rules, parsers and files, no window.
core_tests=(tst_binarydataset tst_zip tst_questionbank tst_bankguard tst_poolkill tst_cntrtf
  tst_rtfreader tst_articleindex tst_signcatalog tst_speechtext tst_fsrs)

version() {
  sed -n '1s/^quelvado (\([0-9.]*\)).*/\1/p' "$checkout/debian/changelog"
}

stage_quelvado() {
  local out=$work/quelvado
  mkdir -p "$prefix/include/espeak-ng"
  cp /usr/include/espeak-ng/*.h "$prefix/include/espeak-ng/"
  # The build runs its own tool (the traffic code text) through Wine.
  cmake -G Ninja -S "$checkout" -B "$out" \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_PREFIX_PATH="$prefix/qt;$prefix" \
    -DCMAKE_CROSSCOMPILING_EMULATOR=wine \
    -DQT_HOST_PATH=/usr \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DQUELVADO_TESTS=ON \
    -DESPEAK_NG_INCLUDE_DIR="$prefix/include" \
    -DSQLite3_INCLUDE_DIR="$prefix/include" -DSQLite3_LIBRARY="$prefix/lib/libsqlite3.dll.a" \
    -DCURL_INCLUDE_DIR="$prefix/include" -DCURL_LIBRARY="$prefix/lib/libcurl.dll.a"
  # The program with its data files, and the tests of the cores (those that need no window).
  local tests=() t
  for t in "${core_tests[@]}"; do
    tests+=(--target "$t")
  done
  CMAKE_CXX_COMPILER_LAUNCHER=ccache cmake --build "$out" -j"$jobs" --target quelvado cnt_rtf "${tests[@]}"
}

# What the installer carries: the program, the DLLs it loads (the MinGW run-time, Qt, SQLite,
# libcurl), Qt's plugins it needs, Qt's translations, cnt.rtf, the help and the DejaVu fonts. The layout is the one of
# an installed copy on Linux (bin/ and share/quelvado/), so the program knows it is installed and
# keeps the user's files in the user's data folder (%APPDATA%), never in the program folder.
stage_installer() {
  local out=$work/quelvado stage=$work/stage ver mingw_lib bin
  ver=$(version)
  rm -rf "$stage"
  bin=$stage/bin
  mkdir -p "$bin/translations" "$stage/share/quelvado"
  cp "$out/bin/quelvado.exe" "$bin/"
  cp "$out/bin/cnt.rtf" "$out/bin/Quelvado.html" "$stage/share/quelvado/"
  # The fonts the windows draw with, which Windows lacks; the program adds them for itself alone.
  mkdir -p "$stage/share/quelvado/fonts"
  for d in DejaVuSans DejaVuSans-Bold DejaVuSans-Oblique DejaVuSans-BoldOblique \
    DejaVuSansCondensed DejaVuSansCondensed-Bold; do
    cp "/usr/share/fonts/truetype/dejavu/$d.ttf" "$stage/share/quelvado/fonts/"
  done
  cp /usr/share/doc/fonts-dejavu-core/copyright "$stage/share/quelvado/fonts/LICENCE-DejaVu.txt"
  local d
  for d in Qt6Core Qt6Gui Qt6Widgets Qt6Svg Qt6PrintSupport Qt6Sql Qt6Multimedia Qt6Network \
    Qt6Charts Qt6OpenGL Qt6OpenGLWidgets; do
    cp "$prefix/qt/bin/$d.dll" "$bin/"
  done
  cp "$prefix/bin/sqlite3.dll" "$prefix/bin/libcurl-4.dll" "$bin/"
  mingw_lib=$(dirname "$($target-g++-posix -print-libgcc-file-name)")
  cp "$mingw_lib/libstdc++-6.dll" "$mingw_lib/libgcc_s_seh-1.dll" "$bin/"
  cp /usr/$target/lib/libwinpthread-1.dll "$bin/"
  for d in platforms sqldrivers imageformats styles multimedia printsupport iconengines tls; do
    if [ -d "$prefix/qt/plugins/$d" ]; then
      mkdir -p "$bin/$d"
      cp "$prefix/qt/plugins/$d"/*.dll "$bin/$d/"
    fi
  done
  cp "$prefix/qt/translations"/*_pt_BR.qm "$bin/translations/"
  # Qt looks for its plugins and translations beside the program.
  printf '[Paths]\nPrefix = .\nPlugins = .\nTranslations = translations\n' >"$bin/qt.conf"
  makensis -V2 -DVERSION="$ver" -DSTAGE="$stage" -DOUTFILE="$cache/Quelvado-$ver-setup.exe" \
    "$here/quelvado.nsi"
  say "Installer: $cache/Quelvado-$ver-setup.exe ($(du -h "$cache/Quelvado-$ver-setup.exe" | cut -f1))"
}

stage_test() {
  local out=$work/quelvado stage=$work/stage shots=$cache/screenshots
  export WINEPREFIX=$cache/wine WINEDEBUG=-all
  mkdir -p "$shots"
  wineboot -i >/dev/null 2>&1 || true
  # The tests of the cores find Qt's DLLs through the path.
  export WINEPATH="$prefix/qt/bin;$prefix/bin;$(dirname "$($target-g++-posix -print-libgcc-file-name)");/usr/$target/lib"
  local failed=0 t
  for t in "${core_tests[@]}"; do
    say "Under Wine: $t"
    if ! (cd "$out/bin" && QT_QPA_PLATFORM=offscreen wine "./$t.exe" >"$shots/$t.log" 2>&1); then
      echo "FAILED: $t (log: $shots/$t.log)"
      failed=1
    fi
  done
  # The program from the installer's files, on an X server of its own.
  local display=:97 xvfb
  Xvfb $display -screen 0 1366x768x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  trap 'wineserver -k 2>/dev/null || true; kill $xvfb 2>/dev/null || true' EXIT
  export DISPLAY=$display
  sleep 2
  local exe="$stage/bin/quelvado.exe" first second
  wine "$exe" >"$shots/quelvado.log" 2>&1 &
  first=$!
  if ! wait_window Quelvado 180; then
    echo "FAILED: no window of quelvado.exe after 180 s (log: $shots/quelvado.log)"
    return 1
  fi
  shot main-window
  # A second copy tells that one runs already and ends when its box is closed.
  wine "$exe" >"$shots/second-copy.log" 2>&1 &
  second=$!
  sleep 20
  shot second-copy
  xdotool key Return
  if ! ended $second 30; then
    echo "FAILED: a second copy went on running beside the first"
    kill $second 2>/dev/null || true
    failed=1
  fi
  # The exam: key 1 on the main window opens the selection page, Enter starts the exam.
  xdotool search --name Quelvado windowactivate --sync 2>/dev/null || true
  xdotool key 1
  sleep 5
  shot exam-selection
  xdotool key Return
  sleep 5
  shot exam-page
  # Esc on the main window ends the program.
  xdotool key Escape
  sleep 2
  xdotool search --name Quelvado windowactivate --sync 2>/dev/null || true
  xdotool key Escape
  if ! ended $first 30; then
    echo "FAILED: quelvado.exe did not end after Esc"
    kill $first 2>/dev/null || true
    failed=1
  fi
  return $failed
}

# Waits up to $2 seconds for a window whose name holds $1.
wait_window() {
  local waited=0
  until xdotool search --name "$1" >/dev/null 2>&1; do
    [ $waited -ge "$2" ] && return 1
    sleep 1
    waited=$((waited + 1))
  done
  sleep 3 # its first paint
}

# Waits up to $2 seconds for process $1 to end.
ended() {
  local waited=0
  while kill -0 "$1" 2>/dev/null; do
    [ $waited -ge "$2" ] && return 1
    sleep 1
    waited=$((waited + 1))
  done
}

shot() {
  xwd -root -silent | convert xwd:- "$cache/screenshots/$1.png"
  say "Screenshot: $cache/screenshots/$1.png"
}

run_stage() {
  local name=$1 t0 t1
  local cached=false
  case "$name" in sqlite | qt | curl) cached=true ;; esac
  if $cached && done_stage "$name"; then
    say "$name: already in $cache (remove $stamps/$name to build it again)"
    return 0
  fi
  t0=$(date +%s)
  say "Stage $name"
  "stage_$name"
  t1=$(date +%s)
  if $cached; then mark_stage "$name"; fi
  say "Stage $name done in $(((t1 - t0) / 60)) min"
}

write_toolchain
if [ $# -eq 0 ]; then
  set -- deps sources sqlite curl qt quelvado installer
fi
for s in "$@"; do
  case "$s" in
  deps | sources | sqlite | curl | qt | quelvado | installer | test) run_stage "$s" ;;
  *)
    echo "build.sh: no stage \"$s\" (deps sources sqlite curl qt quelvado installer test)" >&2
    exit 2
    ;;
  esac
done
