#!/bin/sh
# Runs every test of the four presets: natively for linux (valgrind's
# memcheck included), under wine for win64, with AddressSanitizer and
# UndefinedBehaviorSanitizer for sanitize (short fuzzing runs included), and
# with ThreadSanitizer for tsan; then the editor windows end to end (real X11
# windows under Xvfb driven by xdotool, and the Win32 window under wine).
set -eu
cd "$(dirname "$0")/.."
status=0
failed=""
for preset in linux win64 sanitize tsan; do
  [ -f "build/$preset/build.ninja" ] || cmake --preset "$preset"
  cmake --build --preset "$preset"
  ctest --preset "$preset" || { status=1; failed="$failed $preset"; }
done
sh scripts/ui-e2e.sh build/linux build/win64 || { status=1; failed="$failed ui-e2e"; }
# The failures once more at the end, where a reader of the last lines sees them.
for preset in $failed; do
  log="build/$preset/Testing/Temporary/LastTestsFailed.log"
  echo "test.sh: $preset FAILED"
  [ -f "$log" ] && sed 's/^/  /' "$log"
done
[ $status -eq 0 ] && echo "test.sh: every preset passed"
exit $status
