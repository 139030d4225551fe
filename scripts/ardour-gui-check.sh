#!/bin/sh
# Opens each of our plug-ins' editors in Ardour 7's own window (the GUI,
# under a private Xvfb with openbox as the window manager and the dummy
# engine) on a session built headless with ardour7-lua, and uses it: opened
# from the Mixer, painted, covered and shown again, its meters on a sine,
# Ardour's automation, a knob drag and a button click read back from the
# session saved with Ctrl+S, a typed value and then Space starting the
# transport, closed and reopened, and Ardour quitting cleanly. See
# tools/ardour/gui_check.py for what each step checks.
# Exits non-zero on any failure. Needs the linux build and the Debian packages
# ardour, openbox, xvfb, xdotool, x11-utils and python3.
set -eu
cd "$(dirname "$0")/.."
ROOT=$(pwd)
BUILD=$ROOT/build/linux
for f in tools/vsthost/vsthost tools/vsthost/xshot plugins/JYX_Ostrelvanheim2.so plugins/JYX_Ostrelvanheim.so \
  plugins/JYX_Tindravelle.so; do
  [ -x "$BUILD/$f" ] || { echo "ardour-gui-check: $BUILD/$f is missing: build the linux preset first" >&2; exit 2; }
done
for tool in ardour ardour7-lua /usr/lib/ardour7/ardour-vst-scanner openbox Xvfb xdotool xwininfo xprop xmessage \
  python3; do
  command -v "$tool" >/dev/null 2>&1 ||
    { echo "ardour-gui-check: $tool is missing (scripts/install-deps.sh installs it)" >&2; exit 2; }
done
exec python3 tools/ardour/gui_check.py "$ROOT" "$BUILD" "$@"
