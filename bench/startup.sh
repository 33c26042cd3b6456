#!/bin/sh
# The program's start against a bare window on a virtual display with a window manager, in
# interleaved pairs; then a window with one text field against the same bare window, for what
# showing any text costs. Usage: bench/startup.sh BUILD-DIR [PAIRS]
set -eu
build=${1:?build directory}
pairs=${2:-20}
display=:$((90 + $$ % 100))
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $openbox $xvfb 2>/dev/null || true' EXIT
sleep 1
DISPLAY=$display openbox >/dev/null 2>&1 &
openbox=$!
sleep 1
for program in "$build/src/quorel" "$build/bench/bench_OneFieldWindow"; do
  echo "== $(basename "$program") against the bare window"
  DISPLAY=$display QT_QPA_PLATFORM=xcb "$build/bench/bench_Startup" "$pairs" "$program" \
    "$build/bench/bench_BareWindow"
done
