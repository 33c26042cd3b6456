#!/usr/bin/env bash
# Installs the Debian packages the build, the tests, the benchmarks and the Debian package need; does nothing when all are there.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev libgl-dev libicu-dev libcurl4-openssl-dev libcpp-httplib-dev libbenchmark-dev
  fonts-ipafont-gothic xvfb xauth curl
  clang libclang-rt-14-dev desktop-file-utils
  # The Debian package: CPack's DEB generator finds the programs with file and runs dpkg-shlibdeps
  # (dpkg-dev) for the library dependencies; its checks run lintian, appstreamcli (appstream) on the
  # metainfo, and man (man-db, with groff-base) to render the man pages as lintian does.
  dpkg-dev file lintian appstream man-db groff-base
  # the window asks the window manager for its frame before it is shown
  libxcb1-dev
  # the accessibility test: the window on a virtual display, read through the desktop's accessibility bus
  python3 python3-pyatspi at-spi2-core dbus openbox
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -ne 0 ] && sudo=(sudo)
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" < /dev/null
