#!/usr/bin/env bash
# ./dev.sh start     installs what is missing, builds and starts the window
# ./dev.sh test      installs what is missing, builds and runs every test (the Debian package's
#                    checks included), fuzzes, and runs the tests again under the sanitizers
# ./dev.sh package   installs what is missing, builds and leaves the Debian package in dist/
# ./dev.sh fast      builds and runs the unit, window and layer tests only: no package, fuzzing or
#                    sanitizers, for the loop while changing code
set -euo pipefail
cd "$(dirname "$0")"

build() {
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUOREL_WERROR="${QUOREL_WERROR:-OFF}" "$@" > /dev/null
  cmake --build "$dir"
}

# The package is made from the build tree the tests run on, so it holds the program they tested.
# Prints the package's path.
package() {
  build build >&2
  rm -rf build/package
  cpack --config build/CPackConfig.cmake -B "$PWD/build/package" >&2
  mkdir -p dist
  rm -f dist/quorel_*.deb
  local deb
  deb=$(echo build/package/quorel_*.deb)
  mv "$deb" dist/
  echo "$PWD/dist/$(basename "$deb")"
}

case "${1:-}" in
  start)
    scripts/install-deps.sh
    build build
    exec build/src/quorel
    ;;
  test)
    scripts/install-deps.sh
    # The sources keep to the committed .clang-format.
    git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror
    deb=$(package)
    # The package's test checks the package just made; without it, that test skips.
    QUOREL_PACKAGE=$deb ctest --test-dir build --output-on-failure -j2
    # Each libFuzzer target for a short while, from the committed seeds; its build, without tests,
    # also shows that the program builds alone.
    fuzz/run.sh 20
    # The same suite once more with AddressSanitizer and UndefinedBehaviorSanitizer.
    build build-sanitize -DQUOREL_SANITIZE=ON
    ctest --test-dir build-sanitize --output-on-failure -j2
    ;;
  fast)
    scripts/install-deps.sh
    build build
    # The package's test skips without a package; the tests that run the program run it here too.
    ctest --test-dir build --output-on-failure -j2 -E '^package\.'
    ;;
  package)
    scripts/install-deps.sh
    deb=$(package)
    echo "Package: $deb"
    ;;
  *)
    echo "usage: $0 start|test|fast|package" >&2
    exit 2
    ;;
esac
