#!/usr/bin/env bash
# Runs one Windows program under Wine inside a pseudo-terminal, where Wine gives it a console
# of its own: in-terminal.sh PROGRAM.exe [ARGUMENT...]. Prints what the terminal showed
# afterwards and exits with the program's code (77: no pseudo-terminal to be had). Needs what
# scripts/wine-run.sh needs.
set -uo pipefail
: "${WINEPREFIX:?set WINEPREFIX to a prefix made by scripts/test-windows.sh}"
if ! command -v script >/dev/null; then
  echo "skipped: no 'script' command (package bsdutils) to make a pseudo-terminal"
  exit 77
fi
export WINEDEBUG=-all PARLOWEN_TERMINAL=1
unset DISPLAY WAYLAND_DISPLAY
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
as=()
if [ -n "${PARLOWEN_WINE_USER:-}" ] && [ "$(id -u)" = 0 ]; then
  as=(setpriv --reuid="$PARLOWEN_WINE_USER" --regid="$(id -g "$PARLOWEN_WINE_USER")" --clear-groups)
fi
log=$(mktemp)
trap 'rm -f "$log"' EXIT
command=$(printf '%q ' "${as[@]}" "$wine" "$@")
SHELL=/bin/bash script --quiet --return --flush --command "$command" "$log" </dev/null >/dev/null
code=$?
# The console's drawing sequences go (a move to the right stands for blanks); its text stays.
perl -pe 's/\e\[(\d*)C/" " x ($1 || 1)/ge; s/\e\[[0-9;?]*[A-Za-z]//g; s/\r//g' "$log"
exit "$code"
