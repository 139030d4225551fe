#!/bin/sh
# Runs every test of both presets: natively for linux, under wine for win64.
set -eu
cd "$(dirname "$0")/.."
status=0
for preset in linux win64; do
  [ -f "build/$preset/build.ninja" ] || cmake --preset "$preset"
  cmake --build --preset "$preset"
  ctest --preset "$preset" || status=1
done
exit $status
