#!/usr/bin/env bash
# Cross-builds parlocon.exe and the Windows tests with mingw-w64 and runs the tests under Wine,
# in a fresh Wine prefix in a temporary folder that is removed afterwards.
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
unset DISPLAY WAYLAND_DISPLAY
stop() {
  "${as[@]}" "$wineserver" -k >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap stop EXIT

echo "== mingw: test under Wine (prefix $WINEPREFIX)"
"${as[@]}" "$wine" wineboot -i >"$work/wineboot.log" 2>&1 || { cat "$work/wineboot.log"; exit 1; }
# The tests' folders lie on drive Z:, where Wine shows the Linux file system; drive R: is an
# empty folder of its own, for the run from the root of a drive.
"${as[@]}" mkdir "$work/tests" "$work/drive-r"
"${as[@]}" ln -s "$work/drive-r" "$WINEPREFIX/dosdevices/r:"
export TEST_TMPDIR="Z:${work//\//\\}\\tests" PARLOWEN_TEST_DRIVE=R:
ctest --preset mingw
