#!/usr/bin/env bash
# Uses parlowin as a new user would, where the program lies in a folder only root may write
# (/usr/bin once installed): as the user nobody, with a home of its own, on the current X
# display. A bare settings name typed into the field is saved into ~/.config/parlowen, and the
# support contact on the About page opens the documentation. Needs root (to become nobody) and
# xdotool; exits with 77 (skipped) without them.
# Usage: window_as_user.sh PARLOWIN [DOCUMENTATION]
#   DOCUMENTATION: the file the contact must open (checked only when given).
set -euo pipefail
parlowin=$1 documentation=${2:-}
[ "$(id -u)" = 0 ] || { echo "SKIPPED: becoming the user nobody needs root"; exit 77; }
command -v xdotool >/dev/null || { echo "SKIPPED: xdotool is not installed"; exit 77; }

work=$(mktemp -d)
program=
cleanup() {
  [ -n "$program" ] && kill "$program" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work/home" "$work/bin"
# Stands in for the desktop's opener: writes down what it was asked to open.
cat >"$work/bin/xdg-open" <<STUB
#!/bin/sh
printf '%s\n' "\$*" >"$work/opened"
STUB
chmod 755 "$work/bin/xdg-open"
chown -R nobody:nogroup "$work"
# A build inside a folder only root may enter (a clone in `mktemp -d`): the program, and the
# leak checker's suppressions under the sanitizers, are used from copies in a folder of root's
# that nobody may read but not write, as /usr/bin is.
reachable() {
  if setpriv --reuid=nobody --regid=nogroup --clear-groups test -r "$1"; then
    echo "$1"
    return
  fi
  mkdir -p -m 755 "$work/program"
  cp -p "$1" "$work/program/"
  echo "$work/program/$(basename "$1")"
}
parlowin=$(reachable "$parlowin")
if [[ "${LSAN_OPTIONS:-}" =~ suppressions=([^:]+) ]]; then
  suppressions=${BASH_REMATCH[1]}
  LSAN_OPTIONS=${LSAN_OPTIONS/"$suppressions"/"$(reachable "$suppressions")"}
  export LSAN_OPTIONS
fi
as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups
         env -u XDG_CONFIG_HOME HOME="$work/home" PATH="$work/bin:$PATH")

# Waits up to 30 seconds for a condition; a guard against hanging, not a speed limit.
wait_for() {
  for _ in $(seq 300); do
    if eval "$1"; then return 0; fi
    sleep 0.1
  done
  echo "FAIL: timed out waiting for: $1"
  exit 1
}
start() {
  "${as_user[@]}" "$parlowin" "$@" 2>"$work/stderr" &
  program=$!
  window=$(timeout 30 xdotool search --sync --pid "$program" --name '^Parlowen$' | head -n 1) || true
  [ -n "$window" ] || { echo "FAIL: no window of $parlowin within 30 seconds"; cat "$work/stderr"; exit 1; }
  xdotool windowfocus --sync "$window"
}

# The focus starts on Exit; eight Tabs reach the settings-file field, one more goes back to
# Exit, which saves and closes.
start
xdotool key --delay 50 Tab Tab Tab Tab Tab Tab Tab Tab
xdotool type --delay 50 job.bfs
xdotool key --delay 50 Tab Return
wait_for '! kill -0 "$program" 2>/dev/null'
status=0
wait "$program" || status=$?
program=
[ "$status" = 0 ] || { echo "FAIL: Exit did not save and close ($status)"; cat "$work/stderr"; exit 1; }
saved=$work/home/.config/parlowen/job.bfs
[ "$(grep -c = "$saved" 2>/dev/null)" = 14 ] ||
  { echo "FAIL: $saved does not hold the fourteen keys"; exit 1; }
echo "PASS: a bare name was saved into ~/.config/parlowen"

[ -n "$documentation" ] || exit 0
# The About page is the third; its contact lies at (64, 44) on the page, under the tabs.
start job.bfs
xdotool key --delay 50 Tab Tab Right Right
xdotool mousemove --window "$window" 90 70 click 1
wait_for '[ -s "$work/opened" ]'
opened=$(cat "$work/opened")
kill "$program"
[ "$opened" = "file://$documentation" ] || { echo "FAIL: the contact opened '$opened'"; exit 1; }
[ -f "$documentation" ] || { echo "FAIL: $documentation does not exist"; exit 1; }
echo "PASS: the support contact opened $opened"
