#!/bin/sh
# Loads JYX Ostrelvanheim2 from build/linux/plugins into Debian's Ardour 7
# (ardour7-lua, dummy engine) at 44.1 and 96 kHz: checks its identity,
# parameter count and latency, records noise on a track, applies a few settings
# and saves; ardour7-export renders the session through the plug-in and the
# render is compared with our test host's on the same input; then the session
# is reloaded and the parameter values and the chunk must have come back.
# Exits non-zero on any failure. Needs the linux build and the Debian packages
# ardour and python3.
set -eu
cd "$(dirname "$0")/.."
ROOT=$(pwd)
BUILD=$ROOT/build/linux
PLUGIN=$BUILD/plugins/JYX_Ostrelvanheim2.so
VSTHOST=$BUILD/tools/vsthost/vsthost
SCANNER=/usr/lib/ardour7/ardour-vst-scanner
LUA="ardour7-lua $ROOT/tools/ardour/session_check.lua"
# Mode multiband, FAT on, Drive 0.75, Mix 0.625 (exact in float).
SETS="1=1,26=1,4=0.75,12=0.625"
# Sample rate and the latency the plug-in must report there.
RATES="44100:639 96000:1151"

for f in "$PLUGIN" "$VSTHOST"; do
  [ -x "$f" ] || { echo "ardour-check: $f is missing: build the linux preset first" >&2; exit 2; }
done
for tool in ardour7-lua ardour7-export python3 "$SCANNER"; do
  command -v "$tool" >/dev/null 2>&1 || { echo "ardour-check: $tool is missing (apt-get install ardour python3)" >&2; exit 2; }
done

started=$(date +%s)
WORK=$BUILD/ardour-check
rm -rf "$WORK"
mkdir -p "$WORK/config" "$WORK/cache"
# Ardour's configuration and plug-in cache, and our plug-in's own settings
# (Brenmoorworks/), live in the build tree, fresh for every run.
export XDG_CONFIG_HOME="$WORK/config" XDG_CACHE_HOME="$WORK/cache"
export LXVST_PATH="$BUILD/plugins" ARDOUR_CHECK_PLUGIN="$PLUGIN"

scan() {
  # The cache is keyed by the absolute path Ardour will look under.
  LD_LIBRARY_PATH=/usr/lib/ardour7 "$SCANNER" -f -q "$PLUGIN"
}
# The scanner stamps its cache with the current whole second; a plug-in written
# within that second would count as newer than its cache and stay unloaded.
for _ in 1 2 3; do
  [ "$(stat -c %Y "$PLUGIN")" -ge "$(date +%s)" ] || break
  sleep 1
done
# On a fresh configuration Ardour holds a plug-in scanned before its own
# metadata existed for changed: scan, let Ardour list once, scan again.
scan
$LUA list "$WORK/list" > "$WORK/list.log" 2>&1 || { cat "$WORK/list.log"; exit 1; }
scan

set_args=$(echo "$SETS" | tr ',' '\n' | sed 's/^/--set /' | tr '\n' ' ')
status=0
for pair in $RATES; do
  rate=${pair%%:*}
  latency=${pair#*:}
  out=$WORK/$rate
  mkdir -p "$out"
  echo "== $rate Hz: Ardour records noise on a track and inserts the plug-in"
  $LUA prepare "$out/session" "$rate" "$out" "$latency" "$SETS" > "$out/prepare.log" 2>&1 || status=1
  grep -E '^(ok|FAIL|engine) ' "$out/prepare.log" || true
  [ $status -eq 0 ] || { tail -20 "$out/prepare.log"; break; }
  echo "== $rate Hz: ardour7-export renders the saved session"
  render=$out/ardour.wav
  ardour7-export -b float -o "$render" "$out/session" check > "$out/export.log" 2>&1 || status=1
  [ $status -eq 0 ] && [ -s "$render" ] || { status=1; tail -20 "$out/export.log"; break; }
  block=$(cat "$out/block.txt")
  echo "== $rate Hz: same input, settings and block size ($block) through our host, latency compensated"
  # shellcheck disable=SC2086
  "$VSTHOST" "$PLUGIN" --rate "$rate" --block "$block" $set_args \
    process --in "$out/input.wav" --out "$out/vsthost.wav" --compensate
  python3 tools/ardour/compare.py render "$render" "$out/vsthost.wav" || status=1
  # shellcheck disable=SC2086
  "$VSTHOST" "$PLUGIN" --rate "$rate" $set_args params > "$out/params-vsthost.txt"
  python3 tools/ardour/compare.py params "$out/params-ardour.txt" "$out/params-vsthost.txt" || status=1
  # shellcheck disable=SC2086
  "$VSTHOST" "$PLUGIN" --rate "$rate" $set_args get-chunk "$out/chunk-vsthost.bin"
  python3 tools/ardour/compare.py chunk "$out/chunk-saved.b64" "$out/chunk-vsthost.bin" || status=1
  echo "== $rate Hz: reload the saved session in Ardour"
  $LUA reload "$out/session" "$rate" "$out" "$latency" "$SETS" > "$out/reload.log" 2>&1 || status=1
  grep -E '^(ok|FAIL) ' "$out/reload.log" || true
  [ $status -eq 0 ] || { tail -20 "$out/reload.log"; break; }
done

elapsed=$(( $(date +%s) - started ))
if [ $status -eq 0 ]; then
  echo "ardour-check: passed in ${elapsed} s (logs and renders in $WORK)"
else
  echo "ardour-check: FAILED after ${elapsed} s (logs and renders in $WORK)"
fi
exit $status
