#!/usr/bin/env bash
# Cross-builds parlocon.exe and the Windows tests with mingw-w64 and runs the tests under Wine,
# in a fresh Wine prefix in a temporary folder that is removed afterwards: once with the ANSI
# code page 1252 (Wine takes it from the locale C.UTF-8), once with 1251 (from a Russian
# locale compiled here with localedef, package locales; skipped with the reason where that
# fails).
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=${JOBS:-$(nproc)}
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)

echo "== mingw: configure and build"
cmake --preset mingw >/dev/null
cmake --build --preset mingw -j "$jobs"

work=$(mktemp -d /tmp/parlowen-wine.XXXXXX)
as=()
if [ "$(id -u)" = 0 ]; then
  # As root, Wine writes into read-only files that Windows refuses: run as an ordinary user.
  export PARLOWEN_WINE_USER=nobody
  chown "$PARLOWEN_WINE_USER:$(id -g "$PARLOWEN_WINE_USER")" "$work"
  as=(setpriv --reuid="$PARLOWEN_WINE_USER" --regid="$(id -g "$PARLOWEN_WINE_USER")" --clear-groups)
  if ! "${as[@]}" test -r build/mingw/bin/parlocon.exe; then
    echo "   $PARLOWEN_WINE_USER cannot read build/mingw; running Wine as root"
    unset PARLOWEN_WINE_USER
    as=()
    chown "$(id -u):$(id -g)" "$work"  # Wine refuses a prefix folder owned by someone else
  fi
fi
export WINEPREFIX=$work/prefix HOME=$work WINEDEBUG=-all
unset LC_ALL LC_CTYPE LC_MESSAGES LANGUAGE
export LANG=C.UTF-8
unset DISPLAY WAYLAND_DISPLAY
# Ends the Wine session and, with "persistent", starts a server that stays until it is ended:
# a server that quits on its own while the next program connects fails that program ("wine
# client error: recvmsg: Connection reset by peer").
new_server() {
  "${as[@]}" "$wineserver" -k >/dev/null 2>&1 || true
  "${as[@]}" "$wineserver" -w >/dev/null 2>&1 || true
  if [ "${1:-}" = persistent ]; then
    "${as[@]}" "$wineserver" -p >/dev/null 2>&1 || true
  fi
}
stop() {
  new_server
  rm -rf "$work"
}
trap stop EXIT

echo "== mingw: test under Wine (prefix $WINEPREFIX)"
"${as[@]}" "$wine" wineboot -i >"$work/wineboot.log" 2>&1 || { cat "$work/wineboot.log"; exit 1; }
new_server persistent
# The tests' folders lie on drive Z:, where Wine shows the Linux file system; drive R: is an
# empty folder of its own, for the run from the root of a drive.
"${as[@]}" mkdir "$work/tests" "$work/drive-r"
"${as[@]}" ln -s "$work/drive-r" "$WINEPREFIX/dosdevices/r:"
export TEST_TMPDIR="Z:${work//\//\\}\\tests" PARLOWEN_TEST_DRIVE=R:
failed=0
echo "== mingw: tests under ANSI code page 1252"
PARLOWEN_EXPECT_CODE_PAGE=1252 ctest --preset mingw || failed=1

mkdir "$work/locale"
localedef -i ru_RU -f UTF-8 "$work/locale/ru_RU.UTF-8" >"$work/localedef.log" 2>&1 || true
if [ -f "$work/locale/ru_RU.UTF-8/LC_CTYPE" ]; then
  # Programs started from now on take the new locale.
  LOCPATH=$work/locale LANG=ru_RU.UTF-8 new_server persistent
  echo "== mingw: tests under ANSI code page 1251"
  LOCPATH=$work/locale LANG=ru_RU.UTF-8 PARLOWEN_EXPECT_CODE_PAGE=1251 ctest --preset mingw ||
    failed=1
else
  echo "== mingw: tests under ANSI code page 1251 skipped: the ru_RU locale could not be" \
    "compiled (package locales): $(tail -n 1 "$work/localedef.log")"
fi
exit "$failed"
