#!/usr/bin/env bash
# fuzz/run.sh SECONDS   builds the libFuzzer targets with clang in build-fuzz and runs each for SECONDS
# seconds from the seeds in fuzz/corpus (copied, so the seeds stay as committed). Fails on any crash,
# input slower than a second, sanitizer report or broken promise; the input is kept in build-fuzz/findings.
set -euo pipefail
seconds=${1:?usage: fuzz/run.sh SECONDS}
cd "$(dirname "$0")/.."

build=build-fuzz
# Everything the build has without tests: the fuzz targets, and the program itself.
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DQUOREL_FUZZ=ON \
  -DQUOREL_WERROR="${QUOREL_WERROR:-OFF}" > /dev/null
cmake --build "$build"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
findings=$build/findings
mkdir -p "$findings"

failed=()
for seeds in fuzz/corpus/*/; do
  target=$(basename "$seeds")
  cp -r "$seeds" "$scratch/$target"
  echo "== fuzz_$target for $seconds s"
  log=$scratch/$target.log
  if "$build/fuzz/fuzz_$target" "$scratch/$target" -max_total_time="$seconds" -timeout=1 -rss_limit_mb=2048 \
      -artifact_prefix="$findings/$target-" -print_final_stats=1 2> "$log"; then
    grep -E '^(#[0-9]+[[:space:]]+DONE|stat::average_exec_per_sec)' "$log" || true
  else
    failed+=("$target")
    tail -n 60 "$log"
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "Fuzzing found faults in: ${failed[*]} (inputs in $findings)" >&2
  exit 1
fi
