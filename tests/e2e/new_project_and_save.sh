#!/usr/bin/env bash
# End to end from outside the process: starts tilvo.exe under Wine on the
# current X display, makes a new project and saves it with the keyboard alone
# (Ctrl+N, a name, Enter, Ctrl+S, a path, Enter), exits through Ctrl+X, then
# reads the saved file with the sqlite3 command-line client.
# Usage: new_project_and_save.sh <path to tilvo.exe>
set -euo pipefail

EXE="$1"
NAME="Keyboard Garden $$"
WORK="$(mktemp -d /tmp/tilvo-e2e.XXXXXX)"
FILE="$WORK/keyboard.tvp"
. "$(dirname "$0")/e2e-common.sh"
trap e2e_cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  echo "named windows on the display:" >&2
  for w in $(xdotool search --name '.' 2>/dev/null); do
    echo "  $w '$(xdotool getwindowname "$w" 2>/dev/null)'" >&2
  done
  exit 1
}

e2e_start "$EXE"

MAIN="$(wait_for_window '^Tilvo$')" || fail "the main window did not appear"
focus "$MAIN"

xdotool key ctrl+n
DIALOG="$(wait_for_window '^Create New Project$')" || fail "Ctrl+N opened no New Project window"
focus "$DIALOG"
# The name edit has the focus, preset to "Untitled Project": select it all and type over it.
xdotool key End shift+Home
xdotool type --delay 60 "$NAME"
xdotool key Return
wait_for_name "$MAIN" "$NAME (Unsaved) - Tilvo" || fail "no new project: '$(xdotool getwindowname "$MAIN")'"

focus "$MAIN"
xdotool key ctrl+s
SAVE="$(wait_for_window '^Save As$')" || fail "Ctrl+S opened no save dialog"
focus "$SAVE"
# The file name box has the focus; drive Z: is the Unix root.
xdotool type --delay 60 "Z:${FILE//\//\\}"
xdotool key Return
wait_for_name "$MAIN" "$NAME - Tilvo" || fail "not saved: '$(xdotool getwindowname "$MAIN")'"
[ -f "$FILE" ] || fail "no file at $FILE"

# Leave through Exit: nothing is unsaved, so only the confirmation comes.
e2e_exit "$MAIN"

# The saved file, read by an independent client.
check "integrity" "$(q 'PRAGMA integrity_check;')" "ok"
check "schema version" "$(q 'PRAGMA user_version;')" "1"
check "journal mode" "$(q 'PRAGMA journal_mode;')" "wal"
check "tables" "$(q "SELECT group_concat(name, ' ') FROM (SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite_%' ORDER BY name);")" \
  "metadata migrations plants plants_tasks settings spaces spaces_tasks tasks"
check "project name" "$(q "SELECT value FROM metadata WHERE key = 'project_name';")" "$NAME"
check "description" "$(q "SELECT value FROM metadata WHERE key = 'project_description';")" ""
check "application version" "$(q "SELECT value FROM metadata WHERE key = 'application_version';")" "1.0.0"
check "metadata keys" "$(q "SELECT group_concat(key, ' ') FROM (SELECT key FROM metadata ORDER BY key);")" \
  "application_version author created_at project_description project_name updated_at"
author="$(q "SELECT value FROM metadata WHERE key = 'author';")"
[ -n "$author" ] || { echo "FAIL: empty author" >&2; exit 1; }
echo "ok: author $author"
created="$(q "SELECT value FROM metadata WHERE key = 'created_at';")"
[[ "$created" =~ ^[0-9]{4}-[0-9]{2}-[0-9]{2}\ [0-9]{2}:[0-9]{2}:[0-9]{2}$ ]] || { echo "FAIL: created_at '$created'" >&2; exit 1; }
echo "ok: created_at $created"
check "migration" "$(q "SELECT version || '|' || description FROM migrations;")" "1|Initial schema"
check "empty project" "$(q 'SELECT (SELECT count(*) FROM spaces) + (SELECT count(*) FROM plants) + (SELECT count(*) FROM tasks);')" "0"
echo "PASS"
