#!/bin/sh
# Runs every test of the three presets: natively for linux (valgrind's
# memcheck included), under wine for win64, and with AddressSanitizer and
# UndefinedBehaviorSanitizer for sanitize (short fuzzing runs included).
set -eu
cd "$(dirname "$0")/.."
status=0
for preset in linux win64 sanitize; do
  [ -f "build/$preset/build.ninja" ] || cmake --preset "$preset"
  cmake --build --preset "$preset"
  ctest --preset "$preset" || status=1
done
exit $status
