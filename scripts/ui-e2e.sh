#!/bin/sh
# End-to-end checks of the editor windows: the test host opens the demo
# plug-in's editor in a real X11 window under a private Xvfb server, xdotool
# drives it with real mouse and keyboard events (a drag, Ctrl-click, wheel,
# double-click, typing, a menu choice, the rocker, the file dialog), and the
# host's log and getParameter show what changed. Then, when the Windows build
# is there, the same demo opens in a Win32 window under wine as a smoke test.
#
# Installs nothing: Xvfb and xdotool come from scripts/install-deps.sh.
# Screenshots stay in <build>/e2e-shots for people to look at.
#
# Usage: scripts/ui-e2e.sh [LINUX-BUILD-DIR [WIN64-BUILD-DIR]]
set -u
cd "$(dirname "$0")/.."
root=$(pwd)
build=${1:-build/linux}
winbuild=${2:-build/win64}
case $build in /*) ;; *) build=$root/$build ;; esac
case $winbuild in /*) ;; *) winbuild=$root/$winbuild ;; esac

vsthost=$build/tools/vsthost/vsthost
xshot=$build/tools/vsthost/xshot
demo=$build/demo/jyx_demo_editor.so
shots=$build/e2e-shots
work=$build/e2e-work

fail() {
  echo "ui-e2e: FAIL: $*"
  [ -f "$work/log" ] && sed 's/^/  log: /' "$work/log"
  exit 1
}

for tool in Xvfb xdotool; do
  command -v $tool >/dev/null 2>&1 || fail "$tool is missing (scripts/install-deps.sh installs it)"
done
for f in "$vsthost" "$xshot" "$demo"; do
  [ -f "$f" ] || fail "$f is missing: build the linux preset first"
done

rm -rf "$shots" "$work"
mkdir -p "$shots" "$work"

# ---- a private X server on a free display, stopped by its own PID ----
xvfb_pid=
host_pid=
used_wine=
cleanup() {
  [ -n "$host_pid" ] && kill "$host_pid" 2>/dev/null
  [ -n "$used_wine" ] && wineserver -k 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && wait "$xvfb_pid" 2>/dev/null
  return 0
}
trap cleanup EXIT
trap 'exit 1' INT TERM

# Xvfb picks a free display itself and writes its number to descriptor 3.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!

# wait_until TIMEOUT-SECONDS COMMAND...: polls the condition, never a bare sleep.
wait_until() {
  limit=$1
  shift
  tries=$((limit * 20))
  while [ $tries -gt 0 ]; do
    "$@" && return 0
    sleep 0.05
    tries=$((tries - 1))
  done
  return 1
}
display_known() { [ -s "$work/display" ]; }
wait_until 10 display_known || fail "Xvfb did not start ($(cat "$work/xvfb.log"))"
DISPLAY=:$(head -n 1 "$work/display")
export DISPLAY
echo "ui-e2e: Xvfb on $DISPLAY (pid $xvfb_pid)"

# The X11 back end's own tests that need real windows.
x11tests=$build/tests/ui/ui_x11_tests
if [ -f "$x11tests" ]; then
  "$x11tests" >"$work/x11-tests.log" 2>&1 || { cat "$work/x11-tests.log"; fail "the X11 window tests failed"; }
  grep -q SKIPPED "$work/x11-tests.log" && { cat "$work/x11-tests.log"; fail "the X11 window tests did not run"; }
  echo "ui-e2e: the X11 window tests pass"
fi

# ---- the test host with the demo editor, following a command file ----
cmds=$work/commands
log=$work/log
: >"$cmds"
(cd "$work" && JYX_FILE_DIALOG=builtin exec "$vsthost" "$demo" editor --log "$log" --script "$cmds" --follow \
  --timeout 50) >"$work/host.out" 2>&1 &
host_pid=$!

step() { echo "$*" >>"$cmds"; }

# expect PATTERN [SECONDS]: waits for a log line matching PATTERN (grep -E,
# whole line) after the last line an expect matched, and moves past it.
mark=0
log_has() {
  line=$(tail -n +$((mark + 1)) "$log" 2>/dev/null | grep -n -x -E -m 1 "$1" | cut -d: -f1)
  [ -n "$line" ]
}
expect() {
  wait_until "${2:-10}" log_has "$1" || fail "no log line '$1'"
  mark=$((mark + line))
}

# A PNG of the expected size: width and height from its header.
png_size() { od -An -tu1 -j16 -N8 "$1" | awk '{printf "%dx%d", $3*256+$4, $7*256+$8}'; }
check_png() {
  [ -s "$1" ] || fail "no picture $1"
  [ "$(png_size "$1")" = "$2" ] || fail "$1 is $(png_size "$1"), not $2"
}
# Paths as the test host sees them (wine's drive Z: for the Windows build).
hostpath=
screenshot() {
  step "screenshot $hostpath$shots/$1"
  expect "screenshot $hostpath$shots/$1"
  check_png "$shots/$1" 400x250
}

# opened SECONDS: waits for the editor's window and learns where it lies on
# the screen; pointer X Y then moves the pointer to a point of the editor.
opened() {
  expect 'window [0-9]+ 400x250 at [0-9]+,[0-9]+' "$1"
  at=$(grep -m 1 '^window ' "$log" | sed 's/.* at //')
  originX=${at%,*}
  originY=${at#*,}
}
pointer() { xdotool mousemove $((originX + $1)) $((originY + $2)); }

# choose_in_menu PICTURE: waits for our pop-up menu, photographs it and
# chooses entry 10 (second column, second row: columns of eight).
choose_in_menu() {
  wait_until 10 menu_up || fail "the menu did not open"
  eval "$(xdotool getwindowgeometry --shell "$menu")"
  "$xshot" "$shots/$1" || fail "no picture of the menu"
  columnWidth=$(((WIDTH - 2) / 3))
  xdotool mousemove $((X + 1 + columnWidth + columnWidth / 2)) $((Y + 1 + 18 + 9))
  xdotool click 1
  expect 'begin 3'
  expect 'automate 3 0\.473684'
  expect 'end 3'
  wait_until 5 menu_gone || fail "the menu stayed open"
}
menu_up() { menu=$(xdotool search --name '^JYX menu$' 2>/dev/null | head -n 1) && [ -n "$menu" ]; }
menu_gone() { ! xdotool search --name '^JYX menu$' >/dev/null 2>&1; }

opened 15
screenshot 01-opened.png

# The knob (circular mode): a drag from its top to its right sweeps a third
# of the range, in one gesture.
pointer 60 44
xdotool mousedown 1
pointer 72 48
pointer 84 64
xdotool mouseup 1
expect 'begin 0'
expect 'automate 0 0\.833333'
expect 'end 0'

# Ctrl-click puts back the default (away from the drag's press, which would
# otherwise make it a double click).
pointer 52 60
xdotool keydown ctrl click 1 keyup ctrl
expect 'automate 0 0\.500000'

# Two notches of the wheel, 0.05 each.
xdotool click 4 click 4
expect 'automate 0 0\.600000'

# A double click (elsewhere than the last press) turns the knob fully up.
pointer 67 45
xdotool click --repeat 2 --delay 60 1
expect 'automate 0 1\.000000'
step "params 0"
expect 'param 0 1\.000000'
screenshot 02-knob.png

# The on/off button and the bottom position of the vertical switch.
pointer 132 64
xdotool click 1
expect 'automate 1 1\.000000'
pointer 199 82
xdotool click 1
expect 'automate 2 1\.000000'

# Typing into the name field: the click gives it the keyboard focus.
pointer 295 151
xdotool click 1
xdotool key BackSpace BackSpace BackSpace BackSpace
xdotool type --delay 20 'E2E Name'
screenshot 03-typing.png
xdotool key Return
step "program"
expect 'program E2E Name'

# The program menu: our own pop-up window, entries in columns of eight, the
# current one checked.
pointer 110 151
xdotool click 1
choose_in_menu 04-menu.png

# The rocker's right half steps to the next program.
pointer 290 64
xdotool click 1
expect 'automate 3 0\.526316'
step "params 3"
expect 'param 3 0\.526316'

# The save button opens the file dialog (ours: no dialog program here) in the
# current folder with the default name; the saved file holds the settings.
pointer 350 64
xdotool click 1
dialog_up() { dialog=$(xdotool search --name '^Save demo settings$' 2>/dev/null | head -n 1) && [ -n "$dialog" ]; }
wait_until 10 dialog_up || fail "the file dialog did not open"
"$xshot" "$shots/05-dialog.png" || fail "no picture of the dialog"
xdotool key --delay 10 BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace
xdotool type --delay 20 'e2e'
xdotool key Return
saved() { [ -s "$work/demo-e2e.txt" ]; }
wait_until 10 saved || fail "the dialog saved nothing"
grep -qx 'name E2E Name' "$work/demo-e2e.txt" || fail "the saved settings lack the name"
grep -qx '3 0.526316' "$work/demo-e2e.txt" || fail "the saved settings lack the program"

screenshot 06-final.png
step "close"
expect 'closed'
wait "$host_pid" || fail "the test host ended with status $?"
host_pid=
echo "ui-e2e: the X11 editor works; pictures in $shots"

# ---- the Win32 window under wine: the same demo, driven the same way ----
windemo=$winbuild/demo/jyx_demo_editor.dll
winhost=$winbuild/tools/vsthost/vsthost.exe
if [ -f "$windemo" ] && [ -f "$winhost" ] && command -v wine >/dev/null 2>&1; then
  export WINEPREFIX="$winbuild/wineprefix" WINEDEBUG=-all
  [ -f "$WINEPREFIX/.jyx-ready" ] || sh tools/wine/make-prefix.sh "$WINEPREFIX" >/dev/null 2>&1 ||
    fail "no wine prefix"
  used_wine=1
  # The Win32 back end's own tests that need real windows.
  wintests=$winbuild/tests/ui/ui_win32_tests.exe
  if [ -f "$wintests" ]; then
    wine "$wintests" >"$work/win32-tests.log" 2>&1 </dev/null || { cat "$work/win32-tests.log"; fail "the Win32 window tests failed"; }
    grep -q SKIPPED "$work/win32-tests.log" && { cat "$work/win32-tests.log"; fail "the Win32 window tests did not run"; }
    echo "ui-e2e: the Win32 window tests pass under wine"
  fi
  log=$work/wine-log
  cmds=$work/wine-commands
  mark=0
  hostpath=Z:
  : >"$cmds"
  # Unix paths reach the Windows program through wine's drive Z:; the output
  # goes through a file, so that the wine server never holds our descriptors.
  wine "$winhost" "Z:$windemo" editor --log "Z:$log" --script "Z:$cmds" --follow --timeout 60 \
    >"$work/wine.out" 2>&1 </dev/null &
  host_pid=$!
  opened 40
  screenshot 07-wine-opened.png
  pointer 132 64
  xdotool click 1
  expect 'automate 1 1\.000000'
  pointer 52 60
  xdotool click 4
  expect 'automate 0 0\.550000'
  pointer 295 151
  xdotool click 1
  xdotool key BackSpace BackSpace BackSpace BackSpace
  xdotool type --delay 20 'Wine Name'
  xdotool key Return
  step "program"
  expect 'program Wine Name'
  pointer 110 151
  xdotool click 1
  choose_in_menu 08-wine-menu.png
  screenshot 09-wine-final.png
  step "params 0 1 3"
  expect 'param 0 0\.550000'
  expect 'param 1 1\.000000'
  expect 'param 3 0\.473684'
  step "close"
  expect 'closed'
  wait "$host_pid" || fail "the Win32 test host ended with status $?"
  host_pid=
  echo "ui-e2e: the Win32 editor works under wine"
else
  echo "ui-e2e: no Windows build in $winbuild: the wine checks are skipped"
fi
echo "ui-e2e: passed"
