#!/usr/bin/env bash
# ./dev.sh start   installs what is missing, builds and starts the window
# ./dev.sh test    installs what is missing, builds and runs every test, fuzzes, and runs the tests again under the sanitizers
set -euo pipefail
cd "$(dirname "$0")"

build() {
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUOREL_WERROR="${QUOREL_WERROR:-OFF}" "$@" > /dev/null
  cmake --build "$dir"
}

case "${1:-}" in
  start)
    scripts/install-deps.sh
    build build
    exec build/src/quorel
    ;;
  test)
    scripts/install-deps.sh
    build build
    ctest --test-dir build --output-on-failure -j2
    # Each libFuzzer target for a short while, from the committed seeds.
    fuzz/run.sh 20
    # The same suite once more with AddressSanitizer and UndefinedBehaviorSanitizer.
    build build-sanitize -DQUOREL_SANITIZE=ON -DQUOREL_BUILD_BENCH=OFF
    ctest --test-dir build-sanitize --output-on-failure -j2
    ;;
  *)
    echo "usage: $0 start|test" >&2
    exit 2
    ;;
esac
