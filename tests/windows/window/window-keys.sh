#!/usr/bin/env bash
# Drives parlowin.exe with the keyboard alone, as a user would, on the display that
# with-display.sh made: the Tab order from the start on the first two pages, then Start on a
# settings file, the copies it made, and Exit, which saves the fourteen keys and ends the
# program. What the window shows is read back by window_probe.exe.
# Usage (through with-display.sh): window-keys.sh PARLOWIN.exe WINDOW_PROBE.exe
set -uo pipefail
parlowin=$1 probe=$2
for tool in xdotool xprop; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIPPED: $tool is not installed (packages xdotool, x11-utils)"
    exit 77
  fi
done
read -ra as <<<"${WINE_AS:-}"
work=$(mktemp -d)
program=
cleanup() {
  [ -n "$program" ] && kill "$program" 2>/dev/null
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

mkdir -p "$work/src/sub" "$work/src/папка" "$work/master" "$work/dest one"
printf 'alpha\n' >"$work/src/a.txt"
printf 'beta\n' >"$work/src/sub/b.txt"
printf 'гамма\n' >"$work/src/папка/документ.txt"
settings=$work/job.bfs
printf '[Main]\r\nSourceFolder=%s\r\nMasterFolder=%s\r\nDestFolder=%s\r\n' \
  "$(windows_path "$work/src")" "$(windows_path "$work/master")" \
  "$(windows_path "$work/dest one")" >"$settings"
[ ${#as[@]} -gt 0 ] && chown -R "$PARLOWEN_WINE_USER" "$work"

"${as[@]}" "$WINE" "$parlowin" "$(windows_path "$settings")" </dev/null >"$work/output" 2>&1 &
program=$!
probe wait >/dev/null || { echo "FAIL: parlowin.exe showed no window"; cat "$work/output"; exit 1; }
window=$(timeout 30 xdotool search --sync --name '^Parlowen$' | head -n 1)
[ -n "$window" ] || { echo "FAIL: the window is not on the display"; exit 1; }
xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"
xprop -id "$window" _NET_WM_ICON | grep -q '=' || fail "the window shows no icon"

# Each row: the keys pressed, then the control that must have the focus.
steps=(
  ": btExit"
  "Tab: btStart"
  "Tab: pc"
  "Tab: meSource"
  "Tab: meMaster"
  "Tab: meDest"
  "Tab: chSyncSub"
  "Tab: chCreateSub"
  "Tab: cbINI"
  "Tab: btExit"
  "shift+Tab: cbINI"
  "Tab Tab Tab: pc"
  "Right Tab: meMask"
  "Tab: chSize"
  "Tab: chDate"
  "Tab: chAttr"
  "Tab: btExit"
  "shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab: pc"
  "Left Tab Tab Tab Tab: chSyncSub"
  "Return Escape: chSyncSub"
  "Tab Tab Tab: btExit"
)
for step in "${steps[@]}"; do
  keys=${step%%:*} expected=${step#*: }
  # shellcheck disable=SC2086
  [ -n "$keys" ] && xdotool key --delay 50 $keys
  focus=$(probe focus "$expected") || fail "after '$keys' the focus is on $focus, not on $expected"
done

# Start: the run copies every file into the destination and the master, then hides its display.
xdotool key --delay 50 Tab Return
copies=("dest one/a.txt" "dest one/sub/b.txt" "dest one/папка/документ.txt" master/a.txt
  master/sub/b.txt "master/папка/документ.txt")
for _ in $(seq 300); do
  [ -f "$work/${copies[-1]}" ] && probe dump >"$work/after-run.txt" &&
    grep -q '^pb .* hidden' "$work/after-run.txt" && break
  sleep 0.1
done
for copy in "${copies[@]}"; do
  relative=${copy#*/}
  cmp -s "$work/src/$relative" "$work/$copy" || fail "Start did not copy $relative to $copy"
done
grep -q '^lbState .* hidden' "$work/after-run.txt" || fail "the status line is still shown"
grep -q '^pb .* hidden' "$work/after-run.txt" || fail "the gauge is still shown"

# Exit saves every control and closes the window, which ends the program.
xdotool key --delay 50 shift+Tab Return
for _ in $(seq 300); do
  kill -0 "$program" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$program" 2>/dev/null; then
  fail "Exit did not end the program"
else
  wait "$program" || fail "parlowin.exe ended with $?"
  program=
fi
expected="[Main]
SourceFolder=$(windows_path "$work/src")
MasterFolder=$(windows_path "$work/master")
DestFolder=$(windows_path "$work/dest one")
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
if [ "$(tr -d '\r' <"$settings")" != "$expected" ]; then
  fail "the saved settings file is:"
  cat "$settings"
fi
if [ "$failures" -gt 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "PASS: ${#steps[@]} focus steps; Start copied 3 files to 2 targets; Exit saved 14 keys"
