# Shared by the end-to-end scripts: starting tilvo.exe under Wine in a prefix of
# its own, finding its windows with xdotool, and cleaning up after it.
#
# The program runs in a Wine prefix of its own, and so with a wineserver of its
# own: the programs of one wineserver share one desktop, one keyboard focus and
# one desktop process (bound to the X display it was started on), so window
# tests running at the same time on other displays would take the keys or lose
# their windows. The private prefix links to the files of the shared one and
# copies only its registry.
#
# The sourcing script sets WORK (a fresh folder) and defines fail().

WINE_PID=""

e2e_cleanup() {
  # Only the Wine process this script started; its private wineserver then
  # ends by itself, and is waited for before its prefix goes.
  if [ -n "$WINE_PID" ] && kill -0 "$WINE_PID" 2>/dev/null; then
    kill "$WINE_PID" 2>/dev/null || true
    wait "$WINE_PID" 2>/dev/null || true
  fi
  if [ -d "$WORK/prefix" ]; then timeout 30 wineserver -w 2>/dev/null || true; fi
  rm -rf "$WORK"
}

# The first visible window of our process whose name matches the pattern
# (--all: every condition must hold, not any one of them).
wait_for_window() {
  local pattern="$1" deadline=$((SECONDS + 30)) wid
  while [ "$SECONDS" -lt "$deadline" ]; do
    wid="$(xdotool search --all --onlyvisible --pid "$WINE_PID" --name "$pattern" 2>/dev/null | head -1 || true)"
    if [ -n "$wid" ]; then echo "$wid"; return 0; fi
    sleep 0.2
  done
  return 1
}

wait_for_name() {
  local wid="$1" expected="$2" deadline=$((SECONDS + 30))
  while [ "$SECONDS" -lt "$deadline" ]; do
    [ "$(xdotool getwindowname "$wid" 2>/dev/null || true)" = "$expected" ] && return 0
    sleep 0.2
  done
  return 1
}

# Keys go to the window that has the focus: give it the focus, and give a
# window that has just appeared time to finish setting itself up.
focus() {
  sleep 1
  xdotool windowfocus --sync "$1" 2>/dev/null || xdotool windowfocus "$1"
  sleep 0.5
}

# Starts the program (the path in $1) in a private prefix; sets WINE_PID.
e2e_start() {
  [ -n "${DISPLAY:-}" ] || { echo "no X display"; exit 1; }
  local shared="${WINEPREFIX:?WINEPREFIX must name the configured Wine prefix}"
  export WINEPREFIX="$WORK/prefix"
  mkdir -p "$WINEPREFIX"
  # Files change in the shared prefix while others run (temporary files): what
  # vanishes during the copy does not matter.
  cp -as "$shared/drive_c" "$WINEPREFIX/" 2>/dev/null || true
  cp -a "$shared/dosdevices" "$shared/.update-timestamp" "$shared"/*.reg "$WINEPREFIX/"
  [ -e "$WINEPREFIX/drive_c/windows/system32/kernel32.dll" ] || { echo "FAIL: private prefix incomplete" >&2; exit 1; }
  wine "$1" &
  WINE_PID=$!
}

# Ends the program through Ctrl+X and its confirmation (Yes is the default
# button) and checks that it exits with code 0.
e2e_exit() {
  focus "$1"
  xdotool key ctrl+x
  local confirm status=0
  confirm="$(wait_for_window '^Confirm Exit$')" || fail "Ctrl+X asked nothing"
  focus "$confirm"
  xdotool key Return
  for _ in $(seq 1 150); do kill -0 "$WINE_PID" 2>/dev/null || break; sleep 0.2; done
  if kill -0 "$WINE_PID" 2>/dev/null; then fail "the program did not exit"; fi
  wait "$WINE_PID" || status=$?
  WINE_PID=""
  [ "$status" -eq 0 ] || fail "exit code $status"
}

# Reading the saved file ($FILE) with an independent client.
q() { sqlite3 -batch -noheader "$FILE" "$1"; }
check() {  # label, actual, expected
  if [ "$2" != "$3" ]; then echo "FAIL: $1: got '$2', expected '$3'" >&2; exit 1; fi
  echo "ok: $1"
}
