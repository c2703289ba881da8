#!/usr/bin/env bash
# The Windows packages made by CPack: the zip's files, and the installer (NSIS) installed
# silently under Wine where it installs by default, C:\Program Files\Parlowen: the programs,
# the README and the example in place, the Start menu's entry, the .bfs association, which opens
# a settings file in the installed window; then uninstalled silently, which takes all of it
# away. Runs through with-display.sh.
# Usage: installer.sh BUILD-FOLDER WINDOW_PROBE.exe
set -uo pipefail
build=$1 probe=$2
if ! command -v makensis >/dev/null; then
  echo "SKIPPED: makensis is not installed (package nsis)"
  exit 77
fi
read -ra as <<<"${WINE_AS:-}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
wine() { "${as[@]}" "$WINE" "$@" </dev/null 2>/dev/null | tr -d '\r'; }
# Waits for a condition, 30 seconds at most: a guard against hanging, not a time limit.
wait_for() {
  for _ in $(seq 300); do
    eval "$1" && return 0
    sleep 0.1
  done
  return 1
}

cpack -G 'NSIS64;ZIP' --config "$build/CPackConfig.cmake" -B "$work/package" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; echo "FAIL: cpack made no installer"; exit 1; }
installer=$(ls "$work/package"/parlowen-*-win64.exe)
# The zip, for those who do not install, holds the same files in one folder.
zip=${installer%.exe}.zip
folder=$(basename "$zip" .zip)
listing=$(cd "$work" && cmake -E tar tf "$zip" | sort)
for file in bin/parlocon.exe bin/parlowin.exe share/doc/parlowen/README.md \
  share/doc/parlowen/examples/demo.bfs; do
  grep -qx "$folder/$file" <<<"$listing" || fail "the zip does not hold $folder/$file"
done
mkdir "$work/job"
printf '[Main]\r\nSourceFolder=C:\\from-the-association\r\n' >"$work/job/job.bfs"
[ ${#as[@]} -gt 0 ] && chown -R "$PARLOWEN_WINE_USER" "$work"

target="$WINEPREFIX/drive_c/Program Files/Parlowen"
wine "$installer" /S
for file in bin/parlocon.exe bin/parlowin.exe share/doc/parlowen/README.md \
  share/doc/parlowen/examples/demo.bfs share/doc/parlowen/examples/tree/readme.txt \
  Uninstall.exe; do
  [ -f "$target/$file" ] || fail "the installer did not install $file"
done
cmp -s "$target/bin/parlowin.exe" "$build/bin/parlowin.exe" && fail "parlowin.exe was not stripped"
link=$(find "$WINEPREFIX/drive_c" -path '*Start Menu*' -name Parlowen.lnk | head -n 1)
[ -n "$link" ] || fail "no Start menu entry Parlowen"
wine reg query 'HKCR\.bfs' /ve | grep -q 'Parlowen.SyncFile' || fail ".bfs is not associated"
wine reg query 'HKCR\Parlowen.SyncFile\shell\open\command' /ve |
  grep -qF '"C:\Program Files\Parlowen\bin\parlowin.exe" "%1"' || fail "no open command for .bfs files"

# Opening the file as Explorer does starts the installed window with it.
# In the background: without an association Wine's start says so in a box that nobody closes.
"${as[@]}" "$WINE" start /unix "$work/job/job.bfs" </dev/null >/dev/null 2>&1 &
if "${as[@]}" "$WINE" "$probe" wait >/dev/null 2>&1; then
  dump=$(wine "$probe" dump)
  grep -qF "cbINI Edit tsGeneral 8,24,241,21 visible,shown [Z:${work//\//\\}\\job\\job.bfs]" <<<"$dump" ||
    fail "the window did not take the file: $(grep '^cbINI ' <<<"$dump")"
  grep -qF 'meSource Edit gbPath 9,32,398,21 visible,shown [C:\from-the-association]' <<<"$dump" ||
    fail "the window did not load the file: $(grep '^meSource ' <<<"$dump")"
  grep -qF '[C:\Program Files\Parlowen\share\doc\parlowen\README.md]' <<<"$(grep '^Label9 ' <<<"$dump")" ||
    fail "the contact is not the installed README: $(grep '^Label9 ' <<<"$dump")"
  wine "$probe" close >/dev/null
  # A program file in use cannot be removed.
  wait_for '! pgrep -f "Program Files.Parlowen.bin.parlowin.exe" >/dev/null' ||
    fail "the window did not close"
else
  fail "opening a .bfs file showed no window"
fi

wine "C:\\Program Files\\Parlowen\\Uninstall.exe" /S
# The uninstaller goes on from a copy of itself in the temporary folder.
wait_for '[ ! -e "$target/bin/parlowin.exe" ] && [ ! -e "$target/Uninstall.exe" ]' ||
  fail "the uninstaller left $(ls -R "$target" 2>&1 | tr '\n' ' ')"
wait_for '! wine reg query "HKCR\\Parlowen.SyncFile" >/dev/null 2>&1' ||
  fail "the uninstaller left the file type"
wine reg query 'HKCR\.bfs' /ve | grep -q 'Parlowen.SyncFile' && fail "the uninstaller left .bfs"
[ -n "$link" ] && [ -e "$link" ] && fail "the uninstaller left the Start menu entry"

if [ "$failures" -gt 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "PASS: the zip's files; installed, opened a .bfs file through the association, uninstalled"
