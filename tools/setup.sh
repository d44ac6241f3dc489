# Shared by run.sh and test.sh: installs the Debian packages the build and tests need (only those
# missing, so a second run is quick) and configures the build folder once.
# shellcheck shell=bash

QUELVADO_PACKAGES=(
  cmake make g++ pkg-config
  qt6-base-dev qt6-svg-dev qt6-qpa-plugins libgl-dev
  libcurl4-openssl-dev
  zip unzip default-jdk-headless
  fonts-dejavu-core fonts-dejavu-extra
  libx11-dev xvfb xdotool openssl
  dpkg-dev file desktop-file-utils appstream lintian
)

quelvado_missing_packages() {
  local missing=()
  for p in "${QUELVADO_PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$p")
    fi
  done
  echo "${missing[@]}"
}

quelvado_install_packages() {
  local missing
  missing=$(quelvado_missing_packages)
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

quelvado_build() {
  local build_dir=$1
  shift
  cmake --build "$build_dir" -j"$(nproc)" "$@"
}
