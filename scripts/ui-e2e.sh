#!/bin/sh
# End-to-end checks of the editor windows: the test host opens the demo
# plug-ins' editors in real X11 windows under a private Xvfb server, xdotool
# drives them with real mouse and keyboard events, and the host's log,
# getParameter, the program name and the files saved show what changed.
#
# - The layer demo (one library control of each kind): a drag, Ctrl-click,
#   wheel, double-click, typing, a menu choice, the rocker, the file dialog.
# - The controls demo (the editors' own controls above the real preset
#   strip): knob drags in both knob modes and with Alt, Ctrl-click, the wheel,
#   typed value entry, the meter's scale, the switches and the four-way
#   button's zones; then the strip: rocker, program menu, name field, and a
#   preset saved, loaded and saved again through the file dialog, byte for byte.
# - JYX Ostrelvanheim2's own editor: the meters move on the test signal; a
#   drag, Ctrl-click and a typed value on Drive, the back page and back, FAT,
#   Mode, the channel button's gesture and the program rocker.
# - JYX Ostrelvanheim's editor, the same window under its own numbering: a
#   drag, Ctrl-click and a typed value on Drive, the Link button from the
#   host's automation and from a click, the channel button's gesture, the back
#   page and back.
# - JYX Tindravelle's editor: the needles move on the test signal; a drag,
#   Ctrl-click and a typed value on Drive, a click on a needle (its level
#   kept without automation), the back page and back, the program menu and
#   rocker, Process.
#
# Then, when the Windows build is there, both demos and the three products'
# editors open in Win32 windows under wine as a smoke test.
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
controls=$build/demo/jyx_demo_controls.so
gen2=$build/plugins/JYX_Ostrelvanheim2.so
track=$build/plugins/JYX_Tindravelle.so
gen1=$build/plugins/JYX_Ostrelvanheim.so
shots=$build/e2e-shots
work=$build/e2e-work
log=

fail() {
  echo "ui-e2e: FAIL: $*"
  [ -n "$log" ] && [ -f "$log" ] && sed 's/^/  log: /' "$log"
  exit 1
}

for tool in Xvfb xdotool; do
  command -v $tool >/dev/null 2>&1 || fail "$tool is missing (scripts/install-deps.sh installs it)"
done
for f in "$vsthost" "$xshot" "$demo" "$controls" "$gen2" "$track" "$gen1"; do
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

# Xvfb picks a free display itself and writes its number to descriptor 3;
# -noreset keeps it taking connections in the moment after the last client
# left (a reset in between would make the next window test skip).
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" >"$work/xvfb.log" 2>&1 &
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

# ---- the test host, following a command file, and what it logs ----

# new_run NAME: a fresh command file and log for one run of the test host.
new_run() {
  cmds=$work/$1-commands
  log=$work/$1-log
  out=$work/$1.out
  mark=0
  : >"$cmds"
}
# start_host NAME PLUGIN: the Linux test host with the plug-in's editor, its
# settings under the work folder, our own file dialog.
start_host() {
  new_run "$1"
  (cd "$work" && JYX_FILE_DIALOG=builtin XDG_CONFIG_HOME="$work/config" exec "$vsthost" "$2" editor \
    --log "$log" --script "$cmds" --follow --timeout 50) >"$out" 2>&1 &
  host_pid=$!
}
# close_host: closes the editor and checks the host's status.
close_host() {
  step "close"
  expect 'closed'
  wait "$host_pid" || fail "the test host ended with status $?"
  host_pid=
}

step() { echo "$*" >>"$cmds"; }

# expect PATTERN [SECONDS]: waits for a log line matching PATTERN (grep -E,
# whole line) after the last line an expect matched, and moves past it; that
# line is then line number $mark of the log.
log_has() {
  line=$(tail -n +$((mark + 1)) "$log" 2>/dev/null | grep -n -x -E -m 1 "$1" | cut -d: -f1)
  [ -n "$line" ]
}
expect() {
  wait_until "${2:-10}" log_has "$1" || fail "no log line '$1'"
  mark=$((mark + line))
}
last_line() { sed -n "${mark}p" "$log"; }

# answers STEP ANSWER-PATTERN WANTED: runs the step until its answer is the
# wanted line (the plug-in may still be handling the events that lead there).
answers() {
  asked=0
  while :; do
    step "$1"
    expect "$2"
    [ "$(last_line)" = "$3" ] && return 0
    asked=$((asked + 1))
    [ $asked -lt 40 ] || fail "'$1' answers '$(last_line)', not '$3'"
    sleep 0.05
  done
}
expect_param() { answers "params $1" "param $1 .*" "param $1 $2"; }
# set_param I V: sets a parameter as the host does, and waits until it holds,
# so that no later click overtakes it.
set_param() {
  step "set $1 $2"
  expect_param "$1" "$2"
}
expect_program() { answers "program" "program .*" "program $1"; }

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
  check_png "$shots/$1" "$size"
}

# opened WIDTHxHEIGHT SECONDS: waits for the editor's window and learns where
# it lies on the screen; pointer X Y then moves the pointer to a point of the
# editor.
opened() {
  size=$1
  expect "window [0-9]+ $size at [0-9]+,[0-9]+" "$2"
  at=$(last_line | sed 's/.* at //')
  originX=${at%,*}
  originY=${at#*,}
}
pointer() { xdotool mousemove $((originX + $1)) $((originY + $2)); }
# drag X Y X Y...: presses at the first point, moves through the others and
# releases at the last.
drag() {
  pointer "$1" "$2"
  shift 2
  xdotool mousedown 1
  while [ $# -ge 2 ]; do
    pointer "$1" "$2"
    shift 2
  done
  xdotool mouseup 1
}

# choose_in_menu PICTURE COLUMNS ROWS COLUMN ROW: waits for our pop-up menu,
# checks that it has COLUMNS columns of ROWS entries, photographs it and
# chooses the entry in that column and row (from 0).
choose_in_menu() {
  wait_until 10 menu_up || fail "the menu did not open"
  eval "$(xdotool getwindowgeometry --shell "$menu")"
  [ $((HEIGHT - 2)) -eq $(($3 * 18)) ] && [ $(((WIDTH - 2) % $2)) -eq 0 ] ||
    fail "the menu is ${WIDTH}x$HEIGHT, not $2 columns of $3 entries"
  "$xshot" "$shots/$1" || fail "no picture of the menu"
  columnWidth=$(((WIDTH - 2) / $2))
  xdotool mousemove $((X + 1 + $4 * columnWidth + columnWidth / 2)) $((Y + 1 + $5 * 18 + 9))
  xdotool click 1
  wait_until 5 menu_gone || fail "the menu stayed open"
}
menu_up() { menu=$(xdotool search --name '^JYX menu$' 2>/dev/null | head -n 1) && [ -n "$menu" ]; }
menu_gone() { ! xdotool search --name '^JYX menu$' >/dev/null 2>&1; }

# in_dialog TITLE-PATTERN PICTURE: waits for our file dialog, photographs it.
in_dialog() {
  dialog_title=$1
  wait_until 10 dialog_up || fail "no file dialog '$1'"
  "$xshot" "$shots/$2" || fail "no picture of the dialog"
}
dialog_up() { dialog=$(xdotool search --name "^$dialog_title\$" 2>/dev/null | head -n 1) && [ -n "$dialog" ]; }
dialog_gone() { ! xdotool search --name "^$dialog_title\$" >/dev/null 2>&1; }
# choose_file PATH: types the path into our dialog (Ctrl+U empties its field) and takes it.
choose_file() {
  xdotool key ctrl+u
  xdotool type --delay 10 "$1"
  xdotool key Return
  wait_until 10 dialog_gone || fail "the file dialog stayed open"
}

# ---- the layer demo ----
start_host demo "$demo"
opened 400x250 15
screenshot 01-opened.png

# The knob (circular mode): a drag from its top to its right sweeps a third
# of the range, in one gesture.
drag 60 44 72 48 84 64
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
expect_program 'E2E Name'

# The program menu: our own pop-up window, entries in columns of eight, the
# current one checked.
pointer 110 151
xdotool click 1
choose_in_menu 04-menu.png 3 8 1 1
expect 'begin 3'
expect 'automate 3 0\.473684'
expect 'end 3'

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
in_dialog 'Save demo settings' 05-dialog.png
xdotool key --delay 10 BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace
xdotool type --delay 20 'e2e'
xdotool key Return
saved() { [ -s "$work/demo-e2e.txt" ]; }
wait_until 10 saved || fail "the dialog saved nothing"
grep -qx 'name E2E Name' "$work/demo-e2e.txt" || fail "the saved settings lack the name"
grep -qx '3 0.526316' "$work/demo-e2e.txt" || fail "the saved settings lack the program"

screenshot 06-final.png
close_host
echo "ui-e2e: the layer demo works in an X11 window"

# ---- the controls demo: the editors' own controls ----
start_host controls "$controls"
opened 450x460 15
screenshot 10-controls-opened.png

# The frame's knob mode is circular at first: a drag on Mix from its top to
# its right turns it to 0.5 and then to 0.833333, in one gesture.
drag 76 172 88 176 100 192
expect 'begin 2'
expect 'automate 2 0\.500000'
expect 'automate 2 0\.833333'
expect 'end 2'
# Ctrl-click: Mix's default, 100 %.
pointer 70 200
xdotool keydown ctrl click 1 keyup ctrl
expect 'automate 2 1\.000000'
# Alt makes the drag linear: 60 pixels down take a fifth of the range off.
xdotool keydown alt
drag 76 205 76 235 76 265
xdotool keyup alt
expect 'automate 2 0\.800000'
# The wheel: 0.01 a notch.
pointer 76 192
xdotool click 4 click 4
expect 'automate 2 0\.820000'

# The knob mode switch's lower half: linear. The effect keeps it, the host is
# not told.
pointer 307 68
xdotool click 1
expect_param 6 1.000000
# A linear drag on Drive: 30 pixels up and 20 right are 40 of the 300 pixels
# of the whole range.
drag 178 230 188 215 198 200
expect 'automate 1 0\.633333'
# Alt makes the drag circular: from the top to the point at 45 degrees right
# of it, two thirds of the range. (A circular drag stops at the end it comes
# from when one move jumps more than half the range, and the window takes
# only the latest of the moves that queue up between two idles: so no drag
# here makes such a jump, however many of its moves are merged.)
xdotool keydown alt
drag 178 170 194 172 209 178
xdotool keyup alt
expect 'automate 1 0\.497244'
expect 'automate 1 0\.666667'
# Ctrl-click: Drive's default, 0 dB.
pointer 160 230
xdotool keydown ctrl click 1 keyup ctrl
expect 'automate 1 0\.500000'
screenshot 11-knobs.png

# A double click opens the value field over the counter with the value in
# dB; a typed value lands in the parameter when Return ends the entry.
pointer 200 225
xdotool click --repeat 2 --delay 60 1
xdotool key End BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace
xdotool type --delay 20 -- '-6'
screenshot 12-value-entry.png
xdotool key Return
expect_param 1 0.375000

# A click on the meter changes its scale (the effect keeps it).
pointer 120 80
xdotool click 1
expect_param 5 1.000000

# The meter source switch's middle and lower bands.
pointer 226 66
xdotool click 1
expect 'automate 3 0\.500000'
pointer 226 84
xdotool click 1
expect 'automate 3 1\.000000'

# The power button: off and on again.
pointer 60 400
xdotool click 1
expect 'automate 0 0\.000000'
xdotool click 1
expect 'automate 0 1\.000000'

# The four-way button: pressed in the lower half (down, as it was), then slid
# to the left zone (twice: one report), the right one, the upper one and out
# of the button, which brings back the value of the press. Each move waits
# for its report: the window merges moves that queue up between two idles.
pointer 351 408
xdotool mousedown 1
expect 'begin 4'
from=$mark
pointer 330 396
expect 'automate 4 0\.330000'
pointer 332 400
pointer 373 396
expect 'automate 4 0\.670000'
pointer 351 380
expect 'automate 4 0\.000000'
pointer 400 396
expect 'automate 4 1\.000000'
xdotool mouseup 1
expect 'end 4'
[ "$(sed -n "${from},${mark}p" "$log")" = 'begin 4
automate 4 0.330000
automate 4 0.670000
automate 4 0.000000
automate 4 1.000000
end 4' ] || fail "the four-way button reported a zone more than once"
screenshot 13-controls.png

# ---- the controls demo: the preset strip ----
# The rocker's right half: the next program, applied.
pointer 336 451
xdotool click 1
expect_program 'Gentle Lift'
expect_param 1 0.562500

# The program menu: columns of 15, the current entry checked; choosing the
# entry in the second column's third row applies program 17.
pointer 299 451
xdotool click 1
choose_in_menu 14-strip-menu.png 2 15 1 2
expect_program 'Meter Post'
expect_param 1 0.625000
expect_param 3 1.000000

# A name of 30 characters typed into the name field: the program keeps 24.
pointer 233 451
xdotool click 1
xdotool key End
for i in 1 2 3 4 5 6; do xdotool key BackSpace BackSpace BackSpace BackSpace; done
xdotool type --delay 15 'Typed by xdotool: 30 chars, ok'
screenshot 15-name.png
xdotool key Return
expect_program 'Typed by xdotool: 30 cha'

# A right click on the load-preset button asks for a byte-reversed preset;
# cancelling changes nothing.
pointer 156 451
xdotool click 3
in_dialog 'Load preset \(endian-reversed\)' 16-reversed-dialog.png
xdotool key Escape
wait_until 10 dialog_gone || fail "the file dialog stayed open"
expect_program 'Typed by xdotool: 30 cha'

# check_preset FILE: a preset record of the demo (identifier, type, the name
# field, seven values) holding the current program's name and values.
check_preset() {
  [ "$(wc -c <"$1")" -eq 57 ] || fail "$1 is $(wc -c <"$1") bytes, not a preset record"
  # The identifier JYDC in the file's (little-endian) order, then the preset type.
  [ "$(od -An -tx1 -N5 "$1" | tr -d ' ')" = "4344594a21" ] || fail "$1 has no preset header"
  step "program"
  expect 'program .*'
  [ "$(dd if="$1" bs=1 skip=5 count=24 2>/dev/null | tr -d '\000')" = "$(last_line | cut -c9-)" ] ||
    fail "$1 does not hold the program's name"
  step "params"
  expect 'param 6 .*'
  [ "$(od -An -v -tf4 -j29 -w4 "$1" | awk '{printf "%.6f\n", $1}')" = \
    "$(sed -n "$((mark - 6)),${mark}p" "$log" | cut -d' ' -f3)" ] || fail "$1 does not hold the program's values"
}

# Saving the program as a preset file through the file dialog.
pointer 97 451
xdotool click 1
in_dialog 'Save preset' 17-save-dialog.png
choose_file "$work/saved.jyx"
wait_until 10 test -s "$work/saved.jyx" || fail "no preset file saved"
check_preset "$work/saved.jyx"

# Another program, then the file loaded into it: the name and the values
# come back, and saved again they make the same bytes.
pointer 322 451
xdotool click 1
expect_program 'Meter GR'
pointer 156 451
xdotool click 1
in_dialog 'Load preset' 18-load-dialog.png
choose_file "$work/saved.jyx"
expect_program 'Typed by xdotool: 30 cha'
expect_param 1 0.625000
pointer 97 451
xdotool click 1
in_dialog 'Save preset' 19-save-again-dialog.png
choose_file "$work/again.jyx"
wait_until 10 test -s "$work/again.jyx" || fail "no second preset file saved"
cmp "$work/saved.jyx" "$work/again.jyx" || fail "the preset loaded and saved again differs from the file"
check_preset "$work/again.jyx"

# The default preset: a single click does nothing, a double click stores the
# program (the settings hold the record just saved), a Ctrl double click
# clears it again.
settings=$work/config/Brenmoorworks/ControlsDemo
pointer 126 451
xdotool click 1
sleep 0.5
[ -e "$settings/DefaultPreset" ] && fail "a single click stored the default preset"
xdotool click --repeat 2 --delay 60 1
wait_until 10 test -s "$settings/DefaultPreset" || fail "no default preset stored"
tail -c 57 "$settings/DefaultPreset" >"$work/default.jyx"
cmp "$work/default.jyx" "$work/again.jyx" || fail "the default preset is not the program's record"
xdotool keydown ctrl click --repeat 2 --delay 60 1 keyup ctrl
wait_until 10 test ! -e "$settings/DefaultPreset" || fail "a Ctrl double click left the default preset"

# Memory A: stored, another program, recalled into it.
pointer 358 451
xdotool click 1
wait_until 10 test -s "$settings/MemoA" || fail "nothing stored in memory A"
pointer 322 451
xdotool click 1
expect_program 'Meter Pre'
pointer 380 451
xdotool click 1
expect_program 'Typed by xdotool: 30 cha'
expect_param 1 0.625000
screenshot 20-strip.png
close_host
echo "ui-e2e: the controls demo and the preset strip work in an X11 window"

# ---- the product editors' steps ----
# drive_gestures INDEX X Y VALUE-ENTRY-SHOT: the Drive knob (its parameter
# INDEX, a point X Y right of its top): 30 pixels up in the linear knob mode
# (the default) turn it from 0.5 by a tenth, in one gesture; a Ctrl-click puts
# it back to 0 dB; a double click opens the value field over the counter, and
# -6 dB typed there sets Drive without telling the host.
drive_gestures() {
  set_param "$1" 0.500000
  drag "$2" "$3" "$2" $(($3 - 10)) "$2" $(($3 - 20)) "$2" $(($3 - 30))
  expect "begin $1"
  expect "automate $1 0\\.600000"
  expect "end $1"
  pointer $(($2 - 18)) $(($3 + 5))
  xdotool keydown ctrl click 1 keyup ctrl
  expect "automate $1 0\\.500000"
  pointer $(($2 + 22)) "$3"
  xdotool click --repeat 2 --delay 60 1
  xdotool key End BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace
  xdotool type --delay 20 -- '-6'
  screenshot "$4"
  xdotool key Return
  expect_param "$1" 0.375000
  grep -q "^automate $1 0\\.375000\$" "$log" && fail "a typed value reached the host as automation"
}
# back_page VU-INTEGR-INDEX SHOT: the page switch shows the back page; a
# Ctrl-click there puts VU Integr back to its default (a preference: the host
# hears nothing); the plate brings the front page back.
back_page() {
  pointer 162 413
  xdotool click 1
  set_param "$1" 0.200000
  pointer 80 275
  xdotool keydown ctrl click 1 keyup ctrl
  expect_param "$1" 0.500000
  grep -q "^begin $1\$" "$log" && fail "a preference reached the host"
  screenshot "$2"
  pointer 224 85
  xdotool click 1
}
# channel_gesture OWN STEREO LR: the channel button's lower zone (stereo); the
# host records the stereo-mode and left/right parameters as one gesture, never
# the button's own index.
channel_gesture() {
  set_param "$1" 0.000000
  pointer 351 432
  xdotool click 1
  expect "begin $2"
  from=$mark
  expect "end $3"
  [ "$(sed -n "${from},${mark}p" "$log")" = "begin $2
begin $3
automate $2 1.000000
automate $3 0.000000
end $2
end $3" ] || fail "the channel button's gesture is not the stereo mode's and left/right's"
  grep -Eq "^(begin|end|automate) $1( |\$)" "$log" && fail "the host heard of the channel button's own index"
  expect_param "$1" 1.000000
}
# fingerprint X Y W H: the fingerprint of an area of the editor's window, in
# $print (not through a subshell: expect moves the log's mark).
fingerprint() {
  step "pixels $*"
  expect "pixels $* .*"
  print=$(last_line | cut -d' ' -f6)
}
# changes_from FINGERPRINT X Y W H: waits until the area shows something else.
changes_from() {
  was=$1
  shift
  tries=0
  fingerprint "$@"
  while [ "$print" = "$was" ]; do
    tries=$((tries + 1))
    [ $tries -lt 40 ] || fail "the area $* did not change"
    sleep 0.05
    fingerprint "$@"
  done
}

# ---- JYX Ostrelvanheim2: the product's own editor ----
start_host gen2 "$gen2"
opened 450x460 15
screenshot 40-gen2-opened.png

# The meters move on the test signal (a sine with a full-scale burst every
# second): the left meter's picture changes within a second and a half.
fingerprints=
for i in 1 2 3 4 5 6 7 8; do
  fingerprint 54 40 136 70
  fingerprints="$fingerprints $print"
  step "wait 200"
done
[ "$(echo $fingerprints | tr ' ' '\n' | sort -u | wc -l)" -gt 1 ] || fail "the meters stand still"

drive_gestures 4 178 225 41-gen2-value-entry.png
screenshot 42-gen2-typed.png
back_page 43 43-gen2-back.png

# FAT and Mode, each a host parameter.
set_param 26 0.000000
pointer 267 418
xdotool click 1
expect 'automate 26 1\.000000'
set_param 1 0.000000
pointer 308 418
xdotool click 1
expect 'automate 1 1\.000000'
channel_gesture 57 2 30
screenshot 44-gen2-front.png

# The program rocker's right half: the next program, applied.
pointer 336 451
xdotool click 1
expect_program 'Mastering First Aid'
expect_param 4 0.535000
screenshot 45-gen2-final.png
close_host
echo "ui-e2e: JYX Ostrelvanheim2's editor works in an X11 window"

# ---- JYX Ostrelvanheim: the same window under its own numbering ----
start_host gen1 "$gen1"
opened 450x460 15
screenshot 60-gen1-opened.png
drive_gestures 4 178 225 61-gen1-value-entry.png
screenshot 62-gen1-typed.png

# Link (3) follows the host's automation, and a click on it reaches the host.
set_param 3 0.000000
fingerprint 371 398 38 40
unlinked=$print
set_param 3 1.000000
changes_from "$unlinked" 371 398 38 40
linked=$print
screenshot 63-gen1-linked.png
pointer 390 418
xdotool click 1
expect 'automate 3 0\.000000'
expect_param 3 0.000000
changes_from "$linked" 371 398 38 40
[ "$print" = "$unlinked" ] || fail "the Link button did not go back to unlinked"

# The stereo mode and left/right are 2 and 36 here, the button's own index 65;
# the meter preferences start at 49.
channel_gesture 65 2 36
screenshot 64-gen1-front.png
back_page 49 65-gen1-back.png
screenshot 66-gen1-final.png
close_host
echo "ui-e2e: JYX Ostrelvanheim's editor works in an X11 window"

# ---- JYX Tindravelle: the same editor on the track product's tables ----
# The window is as high as the host is told (376 rows); the panel's last row is plain.
start_host track "$track"
opened 450x376 15
screenshot 49-track-opened.png

# Both needles move on the test signal (the output level): each meter's
# picture changes.
set_param 14 1.000000
for area in "56 40 130 70" "263 40 130 70"; do
  fingerprints=
  for i in 1 2 3 4 5 6 7 8; do
    fingerprint $area
    fingerprints="$fingerprints $print"
    step "wait 200"
  done
  [ "$(echo $fingerprints | tr ' ' '\n' | sort -u | wc -l)" -gt 1 ] || fail "the needle at $area stands still"
done
screenshot 50-track-needles.png

drive_gestures 6 179 230 51-track-value-entry.png

# A click on the left needle keeps its level in parameter 17 (within 0..1),
# without telling the host.
set_param 17 0.000000
pointer 121 70
xdotool click 1
kept=
for i in $(seq 40); do
  step "params 17"
  expect 'param 17 .*'
  [ "$(last_line)" != "param 17 0.000000" ] && kept=$(last_line) && break
  sleep 0.05
done
case $kept in "param 17 0."* | "param 17 1.000000") ;; *) fail "a needle click kept '$kept'" ;; esac
grep -Eq '^(begin|automate) 17( |$)' "$log" && fail "a needle click reached the host"
screenshot 52-track-typed-and-clicked.png

# The back page: Ctrl-click puts VU Integr back to its default (a
# preference: the host hears nothing); the plate brings the front back.
pointer 194 327
xdotool click 1
set_param 23 0.200000
pointer 80 183
xdotool keydown ctrl click 1 keyup ctrl
expect_param 23 0.500000
grep -q '^begin 23$' "$log" && fail "a preference reached the host"
screenshot 53-track-back.png
pointer 224 85
xdotool click 1

# The preset strip, 84 rows higher than the second generation's: the program
# menu in one column of the thirteen programs, then the rocker's right half.
pointer 299 367
xdotool click 1
choose_in_menu 54-track-menu.png 1 13 0 7
expect_program 'Bass Line Track'
pointer 336 367
xdotool click 1
expect_program 'Funky Bass Drum Trk'

# Process, a host parameter.
set_param 0 1.000000
pointer 59 327
xdotool click 1
expect 'automate 0 0\.000000'
expect_param 0 0.000000
screenshot 55-track-final.png
close_host
echo "ui-e2e: JYX Tindravelle's editor works in an X11 window"

# ---- the Win32 windows under wine: the same demos, driven the same way ----
windemo=$winbuild/demo/jyx_demo_editor.dll
wincontrols=$winbuild/demo/jyx_demo_controls.dll
wingen2=$winbuild/plugins/JYX_Ostrelvanheim2.dll
wintrack=$winbuild/plugins/JYX_Tindravelle.dll
wingen1=$winbuild/plugins/JYX_Ostrelvanheim.dll
winhost=$winbuild/tools/vsthost/vsthost.exe
if [ -f "$windemo" ] && [ -f "$wincontrols" ] && [ -f "$wingen2" ] && [ -f "$wintrack" ] && [ -f "$wingen1" ] &&
  [ -f "$winhost" ] &&
  command -v wine >/dev/null 2>&1; then
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
  hostpath=Z:
  # start_wine_host NAME PLUGIN: Unix paths reach the Windows program through
  # wine's drive Z:; the output goes through a file, so that the wine server
  # never holds our descriptors.
  start_wine_host() {
    new_run "$1"
    wine "$winhost" "Z:$2" editor --log "Z:$log" --script "Z:$cmds" --follow --timeout 60 \
      >"$out" 2>&1 </dev/null &
    host_pid=$!
  }

  start_wine_host wine-demo "$windemo"
  opened 400x250 40
  screenshot 30-wine-opened.png
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
  expect_program 'Wine Name'
  pointer 110 151
  xdotool click 1
  choose_in_menu 31-wine-menu.png 3 8 1 1
  expect 'automate 3 0\.473684'
  screenshot 32-wine-final.png
  step "params 0 1 3"
  expect 'param 0 0\.550000'
  expect 'param 1 1\.000000'
  expect 'param 3 0\.473684'
  close_host
  echo "ui-e2e: the layer demo works in a Win32 window under wine"

  start_wine_host wine-controls "$wincontrols"
  opened 450x460 40
  screenshot 33-wine-controls-opened.png
  pointer 60 400
  xdotool click 1
  expect 'automate 0 0\.000000'
  pointer 336 451
  xdotool click 1
  expect_program 'Gentle Lift'
  pointer 299 451
  xdotool click 1
  choose_in_menu 34-wine-strip-menu.png 2 15 1 2
  expect_program 'Meter Post'
  screenshot 35-wine-controls.png
  close_host
  echo "ui-e2e: the controls demo works in a Win32 window under wine"

  start_wine_host wine-gen2 "$wingen2"
  opened 450x460 40
  screenshot 36-wine-gen2-opened.png
  set_param 0 1.000000
  pointer 60 418
  xdotool click 1
  expect 'automate 0 0\.000000'
  expect_param 0 0.000000
  screenshot 37-wine-gen2.png
  close_host
  echo "ui-e2e: JYX Ostrelvanheim2's editor works in a Win32 window under wine"

  start_wine_host wine-track "$wintrack"
  opened 450x376 40
  screenshot 38-wine-track-opened.png
  set_param 0 1.000000
  pointer 59 327
  xdotool click 1
  expect 'automate 0 0\.000000'
  expect_param 0 0.000000
  set_param 17 0.000000
  pointer 121 70
  xdotool click 1
  grep -Eq '^(begin|automate) 17( |$)' "$log" && fail "a needle click reached the host"
  screenshot 39-wine-track.png
  close_host
  echo "ui-e2e: JYX Tindravelle's editor works in a Win32 window under wine"

  start_wine_host wine-gen1 "$wingen1"
  opened 450x460 40
  screenshot 67-wine-gen1-opened.png
  set_param 3 0.000000
  pointer 390 418
  xdotool click 1
  expect 'automate 3 1\.000000'
  expect_param 3 1.000000
  screenshot 68-wine-gen1.png
  close_host
  echo "ui-e2e: JYX Ostrelvanheim's editor works in a Win32 window under wine"
else
  echo "ui-e2e: no Windows build in $winbuild: the wine checks are skipped"
fi
echo "ui-e2e: passed"
