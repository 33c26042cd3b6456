#!/usr/bin/env bash
# Installs the Debian packages that the build, the tests, the benchmarks, the fuzz targets and the
# Debian package use, and nothing else; does nothing when all are there.
set -euo pipefail

packages=(
  # The build: compiler, CMake with Ninja, pkg-config to find xcb, and ccache so that the test
  # command's rebuilds of unchanged sources, also from a fresh clone, cost little.
  cmake ninja-build g++ pkg-config ccache
  # The program's libraries: Qt widgets (whose CMake files ask for the OpenGL headers), ICU for
  # CP932, libcurl for downloads, and xcb to ask the window manager for the window's frame.
  qt6-base-dev libgl-dev libicu-dev libcurl4-openssl-dev libxcb1-dev
  # The Japanese font the window is drawn in, and Qt's own words (dialogs, menus) in Japanese.
  fonts-ipafont-gothic qt6-translations-l10n
  # The tests' loopback HTTP server, and the benchmarks with the curl command line they race; an
  # HTTP/2 server over TLS (nghttpd) with a certificate that openssl makes for the test alone.
  libcpp-httplib-dev libbenchmark-dev curl nghttp2-server openssl
  # The libFuzzer targets: clang and its sanitizer and fuzzer runtimes; clang-format checks the style.
  clang libclang-rt-dev clang-format
  # The Debian package: CPack's DEB generator finds the programs with file and runs dpkg-shlibdeps
  # (dpkg-dev) for the library dependencies; its checks run lintian, desktop-file-validate
  # (desktop-file-utils), appstreamcli (appstream) on the metainfo, appstreamcli compose
  # (appstream-compose) to build a software centre's catalogue from the unpacked package, which
  # drops a program whose icon it cannot find, and man (man-db, with groff-base) to render the man
  # pages as lintian does.
  dpkg-dev file lintian desktop-file-utils appstream appstream-compose man-db groff-base
  # The accessibility test: the window on a virtual display under a window manager, read through
  # the desktop's accessibility bus by Debian's python3 with pyatspi.
  xvfb openbox dbus at-spi2-core python3 python3-pyatspi
)

# The browser check opens a saved page in Chromium; where Chromium cannot be had, that check says
# so and skips, and nothing else needs it. The download benchmark races wget2 and aria2c beside
# curl, and leaves out, saying so, whichever is missing.
optional=(chromium wget2 aria2)

installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'
}

missing=()
for package in "${packages[@]}"; do
  installed "$package" || missing+=("$package")
done
missing_optional=()
for package in "${optional[@]}"; do
  installed "$package" || missing_optional+=("$package")
done
[ ${#missing[@]} -eq 0 ] && [ ${#missing_optional[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -ne 0 ] && sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive

# Whether the package index, as it stands, offers the package.
installable() {
  apt-cache policy "$1" 2>/dev/null | grep -q 'Candidate: [^(]'
}

# The index is asked anew only when a package the build needs is missing. An optional package is
# installed when the index, as it stands, offers it; otherwise it is skipped without asking again,
# so that a machine where it cannot be had pays nothing for it on every run.
if [ ${#missing[@]} -gt 0 ]; then
  "${sudo[@]}" apt-get update -qq
  echo "Installing: ${missing[*]}"
  "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" < /dev/null
fi
for package in "${missing_optional[@]}"; do
  if installable "$package" \
    && "${sudo[@]}" apt-get install -y -qq --no-install-recommends "$package" < /dev/null; then
    continue
  fi
  echo "Could not install $package; the checks that need it will be skipped." >&2
done
