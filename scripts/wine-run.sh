#!/usr/bin/env bash
# Runs one Windows program under Wine: wine-run.sh PROGRAM.exe [ARGUMENT...]
# ctest calls it for every Windows test (the build's cross-compiling emulator). It needs the
# prefix that scripts/test-windows.sh prepares (WINEPREFIX), and runs as PARLOWEN_WINE_USER
# when that is set. The program's output goes to a file first and is printed afterwards:
# Wine's helper processes can keep a pipe open long after the program has ended.
set -uo pipefail
: "${WINEPREFIX:?set WINEPREFIX to a prefix made by scripts/test-windows.sh}"
export WINEDEBUG=-all
unset DISPLAY WAYLAND_DISPLAY
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
as=()
if [ -n "${PARLOWEN_WINE_USER:-}" ] && [ "$(id -u)" = 0 ]; then
  as=(setpriv --reuid="$PARLOWEN_WINE_USER" --regid="$(id -g "$PARLOWEN_WINE_USER")" --clear-groups)
fi
output=$(mktemp)
trap 'rm -f "$output"' EXIT
"${as[@]}" "$wine" "$@" </dev/null >"$output" 2>&1
code=$?
cat "$output"
exit "$code"
