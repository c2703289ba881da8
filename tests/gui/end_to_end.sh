#!/usr/bin/env bash
# Drives parlowin on the current X display with the keyboard as a user would: opens it with a
# settings file, presses Start, then Exit, and checks the copies and the saved settings file.
# Exits with 77 (skipped) when xdotool is missing.
# Usage: end_to_end.sh PARLOWIN
set -euo pipefail
parlowin=$1
command -v xdotool >/dev/null || { echo "SKIPPED: xdotool is not installed"; exit 77; }

work=$(mktemp -d)
program=
cleanup() {
  [ -n "$program" ] && kill "$program" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work/src/sub" "$work/master" "$work/dest one"
# A name that is no UTF-8 (Latin-1 "é"), as a file manager may hand over: the window shows it
# otherwise, but opens and saves the file of exactly that name.
settings=$work/$'job-caf\xe9.bfs'
printf 'alpha\n' >"$work/src/a.txt"
printf 'beta\n' >"$work/src/sub/b.txt"
touch -d '2020-05-01 12:00:00' "$work/src/a.txt"
printf '[Main]\nSourceFolder=%s\nMasterFolder=%s\nDestFolder=%s\n' \
  "$work/src" "$work/master" "$work/dest one" >"$settings"

# Waits up to 30 seconds for a condition; a guard against hanging, not a speed limit.
wait_for() {
  for _ in $(seq 300); do
    if eval "$1"; then return 0; fi
    sleep 0.1
  done
  echo "FAIL: timed out waiting for: $1"
  exit 1
}

"$parlowin" "$settings" 2>"$work/stderr" &
program=$!
window=$(timeout 30 xdotool search --sync --name '^Parlowen$' | head -n 1)
xdotool windowfocus --sync "$window"

# The focus starts on Exit; Tab moves it to Start.
xdotool key --delay 100 Tab Return
wait_for '[ -f "$work/master/sub/b.txt" ] && [ -f "$work/master/a.txt" ]'
for copy in "dest one/a.txt" "dest one/sub/b.txt" master/a.txt master/sub/b.txt; do
  cmp "$work/src/${copy#*/}" "$work/$copy" || { echo "FAIL: $copy differs"; exit 1; }
done
[ "$(stat -c %Y "$work/master/a.txt")" = "$(stat -c %Y "$work/src/a.txt")" ] ||
  { echo "FAIL: the copy did not keep the source's time"; exit 1; }

# Back to Exit: it saves every control and closes the window, which ends the program.
xdotool key --delay 100 shift+Tab Return
wait_for '! kill -0 "$program" 2>/dev/null'
status=0
wait "$program" || status=$?
program=
[ "$status" = 0 ] || { echo "FAIL: parlowin ended with $status"; cat "$work/stderr"; exit 1; }

expected="[Main]
SourceFolder=$work/src
MasterFolder=$work/master
DestFolder=$work/dest one
SyncSub=1
CreateSub=1
Mask=*.*
flSize=1
flDate=1
flAttr=0
flReadOnly=0
flHidden=0
flArchive=0
flSystem=0
flCompressed=0"
if [ "$(cat "$settings")" != "$expected" ]; then
  echo "FAIL: the saved settings file is:"
  cat "$settings"
  exit 1
fi
echo "PASS: Start copied 2 files to 2 targets; Exit saved 14 keys and ended with 0"
