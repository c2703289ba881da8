#!/usr/bin/env bash
# Each thing a user does in parlowin.exe's window reaches the form's handler for it, driven
# from outside with the keyboard and the mouse on the display that with-display.sh made: typing
# a settings file's name loads it, the two master boxes switch their dependants, Alt+Down and
# the browse buttons open their dialogs (whose Cancel has its effect), "+" opens the destination
# dialog without taking the focus, and the contact is handed to the shell. The rules behind
# them are the form's tests' business; here only the wiring counts.
# Usage (through with-display.sh): window-events.sh PARLOWIN.exe WINDOW_PROBE.exe
set -uo pipefail
parlowin=$1 probe=$2
if ! command -v xdotool >/dev/null; then
  echo "SKIPPED: xdotool is not installed (package xdotool)"
  exit 77
fi
read -ra as <<<"${WINE_AS:-}"
work=$(mktemp -d)
program=
cleanup() {
  [ -n "$program" ] && kill "$program" 2>/dev/null
  "${as[@]}" "$WINE" reg delete 'HKCR\.md' /f >/dev/null 2>&1
  "${as[@]}" "$WINE" reg delete 'HKCR\Parlowen.TestDocument' /f >/dev/null 2>&1
  rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
windows_path() { printf 'Z:%s' "${1//\//\\}"; }
probe() { "${as[@]}" "$WINE" "$probe" "$@" </dev/null 2>/dev/null | tr -d '\r'; }
line_of() { probe dump | grep "^$1 "; }
# The states the dump gives a control: "visible,shown,disabled,checked" and the like.
states_of() { line_of "$1" | cut -d' ' -f5; }
text_of() { line_of "$1" | sed 's/^[^[]*\[\(.*\)\]$/\1/'; }
# Waits until `what NAME` gives EXPECTED; 30 seconds at most, a guard against hanging, not a
# time limit.
until_is() {
  local what=$1 name=$2 expected=$3 got=
  for _ in $(seq 60); do
    got=$("$what" "$name")
    [ "$got" = "$expected" ] && return 0
    sleep 0.2
  done
  fail "$name: $what gives '$got', not '$expected'"
  return 1
}
until_dialog() {
  timeout 30 xdotool search --sync --name "^$1\$" >/dev/null || { fail "no dialog '$1'"; return 1; }
}
until_no_dialog() {
  for _ in $(seq 150); do
    xdotool search --name "^$1\$" >/dev/null || return 0
    sleep 0.2
  done
  fail "the dialog '$1' stayed open"
}
click() {
  local left top right bottom
  read -r left top right bottom <<<"$(probe rect "$1")"
  xdotool mousemove --sync $(((left + right) / 2)) $(((top + bottom) / 2)) click 1
}

# A copy of the program with a README beside it, its contact, in a folder the user may write,
# which is then the settings folder.
mkdir "$work/app"
cp "$parlowin" "$work/app/parlowin.exe"
printf 'Parlowen\n' >"$work/app/README.md"
parlowin=$work/app/parlowin.exe
printf '[Main]\r\nSourceFolder=C:\\a-source\r\nSyncSub=1\r\nflAttr=0\r\n' >"$work/a.bfs"
printf '[Main]\r\nSourceFolder=C:\\b-source\r\nSyncSub=0\r\nflAttr=1\r\n' >"$work/b.bfs"
# The shell opens the contact, a README.md, with a command that writes down what it got.
opened=$work/opened.txt
"${as[@]}" "$WINE" reg add 'HKCR\.md' /ve /d Parlowen.TestDocument /f >/dev/null 2>&1
"${as[@]}" "$WINE" reg add 'HKCR\Parlowen.TestDocument\shell\open\command' /ve \
  /d "C:\\windows\\system32\\cmd.exe /c echo %1> $(windows_path "$opened")" /f >/dev/null 2>&1
[ ${#as[@]} -gt 0 ] && chown -R "$PARLOWEN_WINE_USER" "$work"

"${as[@]}" "$WINE" "$parlowin" "$(windows_path "$work/a.bfs")" </dev/null >"$work/output" 2>&1 &
program=$!
probe wait >/dev/null || { echo "FAIL: parlowin.exe showed no window"; cat "$work/output"; exit 1; }
window=$(timeout 30 xdotool search --sync --name '^Parlowen$' | head -n 1)
xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"
until_is text_of meSource 'C:\a-source'

# Typed into the settings-file field (reached by Tab, its text selected): each keystroke loads.
xdotool key --delay 50 shift+Tab
probe focus cbINI >/dev/null || fail "shift+Tab did not reach cbINI"
xdotool type --delay 20 "$(windows_path "$work/b.bfs")"
until_is text_of meSource 'C:\b-source'
until_is states_of chSyncSub visible,shown
until_is states_of chCreateSub visible,shown,disabled,checked
until_is states_of chReadOnly visible

# Space on the master boxes: their dependants follow.
xdotool key --delay 50 Tab Tab Tab Tab Tab Tab Tab
probe focus chSyncSub >/dev/null || fail "Tab did not reach chSyncSub"
xdotool key space
until_is states_of chSyncSub visible,shown,checked
until_is states_of chCreateSub visible,shown,checked
xdotool key --delay 50 shift+Tab shift+Tab shift+Tab shift+Tab Right
xdotool key --delay 50 Tab Tab Tab Tab Tab Tab Tab Tab Tab
probe focus chAttr >/dev/null || fail "Tab did not reach chAttr"
xdotool key space
until_is states_of chAttr visible,shown
until_is states_of chReadOnly visible,shown,disabled
xdotool key --delay 50 Tab Tab Tab Left

# Alt+Down in the master field opens its folder dialog; Cancel hands its starting folder (the
# settings folder, the program's) to the empty destination field.
xdotool key --delay 50 Tab Tab
probe focus meMaster >/dev/null || fail "Tab did not reach meMaster"
xdotool key alt+Down
until_dialog "Select Directory" && xdotool key Escape
until_no_dialog "Select Directory"
program_folder=$(windows_path "$work/app")
for _ in $(seq 60); do
  dest=$(text_of meDest)
  [ -n "$dest" ] && break
  sleep 0.2
done
[ "$dest" = "$program_folder" ] ||
  fail "Cancel in the master's dialog gave meDest '$dest'"
probe focus meMaster >/dev/null || fail "the focus did not come back to meMaster"

# "+" opens the destination's dialog.
click SpeedButton6
until_dialog "Select Directory" && xdotool key Escape
until_no_dialog "Select Directory"
probe focus meDest >/dev/null || fail "after '+' the focus is not on meDest"

# The settings-file field's browse button opens "Список"; Cancel reloads the file, which drops
# the unsaved clicks on the two boxes.
click cbINI.browse
until_dialog "Список" && xdotool key Escape
until_no_dialog "Список"
until_is states_of chSyncSub visible,shown
until_is states_of chAttr visible,checked

# The contact on the About page goes to the shell's "open".
xdotool key --delay 50 Tab Tab Tab Right Right
probe focus pc >/dev/null || fail "Tab did not reach the tab strip"
click Label9
for _ in $(seq 150); do
  [ -s "$opened" ] && break
  sleep 0.2
done
contact=$(text_of Label9)
[ "$(tr -d '\r' <"$opened" 2>/dev/null)" = "$contact" ] ||
  fail "the shell was handed '$(cat "$opened" 2>/dev/null)', not '$contact'"

probe close >/dev/null
for _ in $(seq 150); do
  kill -0 "$program" 2>/dev/null || break
  sleep 0.2
done
kill -0 "$program" 2>/dev/null && fail "the window did not close"
program=
cmp -s "$work/b.bfs" <(printf '[Main]\r\nSourceFolder=C:\\b-source\r\nSyncSub=0\r\nflAttr=1\r\n') ||
  fail "closing with the title bar changed the settings file"
if [ "$failures" -gt 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "PASS: typing, two boxes, Alt+Down, '+', the browse button and the contact reached their handlers"
