#!/usr/bin/env bash
# End to end with the mouse, from outside the process: starts tilvo.exe under
# Wine on the current X display, makes a new project, draws a space point by
# point from the Spaces menu, places a plant in it from the Plants menu, drags
# the plant, saves with Ctrl+S and takes a screenshot; then reads the plant's
# position and the space's polygon text with the sqlite3 client and looks for
# the space and the labelled plant in the screenshot.
# Usage: draw_place_drag_save.sh <path to tilvo.exe> [screenshot to keep]
set -euo pipefail

EXE="$1"
KEEP_SHOT="${2:-}"
NAME="Mouse Garden $$"
WORK="$(mktemp -d /tmp/tilvo-e2e-drag.XXXXXX)"
FILE="$WORK/drag.tvp"
SHOT="$WORK/shot.png"
. "$(dirname "$0")/e2e-common.sh"
trap e2e_cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  if [ -n "$KEEP_SHOT" ]; then import -window root "$KEEP_SHOT" 2>/dev/null || true; fi
  exit 1
}

# The main window is borderless and maximised, so its client point (x, y) is
# its X window's origin plus (x, y).
ORIGIN_X=0
ORIGIN_Y=0
at() { xdotool mousemove --sync $((ORIGIN_X + $1)) $((ORIGIN_Y + $2)); sleep 0.15; }
click_at() { at "$1" "$2"; xdotool click 1; sleep 0.3; }
right_click_at() { at "$1" "$2"; xdotool click 3; sleep 0.3; }

# Answers the input box with this caption: the edit has the focus.
answer_input_box() {
  local box
  box="$(wait_for_window "^$1\$")" || fail "no input box '$1'"
  focus "$box"
  xdotool type --delay 60 "$2"
  xdotool key Return
  sleep 0.5
}

# Opens the drawn menu whose title box holds x and picks its n-th item.
menu_item() {
  click_at "$1" 16
  sleep 0.5
  for _ in $(seq 1 "$2"); do xdotool key Down; sleep 0.1; done
  xdotool key Return
  sleep 0.5
}

e2e_start "$EXE"

MAIN="$(wait_for_window '^Tilvo$')" || fail "the main window did not appear"
focus "$MAIN"
eval "$(xdotool getwindowgeometry --shell "$MAIN")"
ORIGIN_X="$X"
ORIGIN_Y="$Y"

# A new project through the New Project window.
xdotool key ctrl+n
DIALOG="$(wait_for_window '^Create New Project$')" || fail "Ctrl+N opened no New Project window"
focus "$DIALOG"
xdotool key End shift+Home
xdotool type --delay 60 "$NAME"
xdotool key Return
wait_for_name "$MAIN" "$NAME (Unsaved) - Tilvo" || fail "no new project: '$(xdotool getwindowname "$MAIN")'"
focus "$MAIN"

# The menu titles File, Spaces, Plants start at x 32, each its text width
# plus 16: x 85 lies in "Spaces" and x 140 in "Plants" with the default font.
menu_item 85 1  # Spaces > New Space
answer_input_box "Enter Space Name" "Herb Bed"
focus "$MAIN"

# Four corners on the canvas (its top is y 80): world (200, 100)-(600, 420).
click_at 200 180
click_at 600 180
click_at 600 500
click_at 200 500
right_click_at 900 600
wait_for_name "$MAIN" "$NAME* (Unsaved) - Tilvo" || fail "no space: '$(xdotool getwindowname "$MAIN")'"

# Select the space, then Plants > New Plant and a press inside it.
click_at 450 400
menu_item 140 2
click_at 300 300  # world (300, 220)
answer_input_box "Add Plant" "Basil"
focus "$MAIN"

# Drag the plant by its marker 40 right and 30 down, in small steps.
at 300 300
xdotool mousedown 1
sleep 0.2
for i in 1 2 3 4 5 6 7 8; do at $((300 + 5 * i)) $((300 + 30 * i / 8)); done
sleep 0.2
xdotool mouseup 1
sleep 0.5

# Save as a new file.
focus "$MAIN"
xdotool key ctrl+s
SAVE="$(wait_for_window '^Save As$')" || fail "Ctrl+S opened no save dialog"
focus "$SAVE"
xdotool type --delay 60 "Z:${FILE//\//\\}"
xdotool key Return
wait_for_name "$MAIN" "$NAME - Tilvo" || fail "not saved: '$(xdotool getwindowname "$MAIN")'"
[ -f "$FILE" ] || fail "no file at $FILE"

# The screenshot, with the pointer out of the way.
at 1200 900
sleep 1
import -window root "$SHOT"
[ -n "$KEEP_SHOT" ] && cp "$SHOT" "$KEEP_SHOT"

e2e_exit "$MAIN"

check "integrity" "$(q 'PRAGMA integrity_check;')" "ok"
check "space" "$(q 'SELECT name FROM spaces;')" "Herb Bed"
check "polygon text" "$(q 'SELECT polygon_data FROM spaces;')" \
  '[{"x":200,"y":100},{"x":600,"y":100},{"x":600,"y":420},{"x":200,"y":420}]'
check "plant" "$(q 'SELECT p.name FROM plants p JOIN spaces s ON s.id = p.space_id;')" "Basil"
check "plant position after the drag" "$(q "SELECT x || ',' || y FROM plants;")" "340,250"

# The screenshot: the space's translucent fill over white inside the polygon,
# its dark green outline, and label text right of the plant's marker.
colour_count() {  # x y w h colour-regex: pixels of that colour in the box
  convert "$SHOT" -crop "${3}x${4}+$((ORIGIN_X + $1))+$((ORIGIN_Y + $2))" +repage txt:- |
    grep -ciE "$5" || true
}
fill="$(colour_count 420 420 100 60 '#A7F1A7')"
[ "$fill" -gt 3000 ] || fail "no space fill in the screenshot ($fill pixels)"
echo "ok: space fill ($fill pixels)"
# The dragged plant's space is the selected one: its outline is the light one.
outline="$(colour_count 590 200 20 200 '#(008000|90EE90)')"
[ "$outline" -gt 100 ] || fail "no space outline in the screenshot ($outline pixels)"
echo "ok: space outline ($outline pixels)"
label="$(colour_count 360 320 80 20 '#(10C810|000000)')"
[ "$label" -gt 15 ] || fail "no plant label in the screenshot ($label pixels)"
echo "ok: plant label ($label pixels)"
echo "PASS"
