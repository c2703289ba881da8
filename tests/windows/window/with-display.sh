#!/usr/bin/env bash
# Runs a command with a private X server (Xvfb) and a Wine session of its own on it:
# with-display.sh COMMAND [ARGUMENT...]. A Windows program is run through Wine, anything else
# as it is, with WINE and WINE_AS (the command that runs as PARLOWEN_WINE_USER) exported for
# scripts. Exits with 77 (skipped) where Xvfb is not installed. Needs the prefix that
# scripts/test-windows.sh prepares (WINEPREFIX).
set -uo pipefail
: "${WINEPREFIX:?set WINEPREFIX to a prefix made by scripts/test-windows.sh}"
if ! command -v Xvfb >/dev/null; then
  echo "SKIPPED: Xvfb is not installed (package xvfb)"
  exit 77
fi
export WINEDEBUG=-all
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
as=()
if [ -n "${PARLOWEN_WINE_USER:-}" ] && [ "$(id -u)" = 0 ]; then
  as=(setpriv --reuid="$PARLOWEN_WINE_USER" --regid="$(id -g "$PARLOWEN_WINE_USER")" --clear-groups)
fi
export WINE=$wine WINE_AS="${as[*]}"

# Wine's desktop takes its display from the first program that opens it, and keeps it while
# the session lasts: these tests start a session of their own and end it afterwards, so no
# program before or after them meets a desktop without a display, or one whose display is gone.
# A server that stays until it is ended, as scripts/test-windows.sh keeps: one that quits on its
# own while the next program connects fails that program.
new_server() {
  "${as[@]}" "$wineserver" -k >/dev/null 2>&1 || true
  "${as[@]}" "$wineserver" -w >/dev/null 2>&1 || true
  "${as[@]}" "$wineserver" -p >/dev/null 2>&1 || true
}
new_server
work=$(mktemp -d)
chmod 755 "$work"
# Room for the system's folder dialog, which does not fit into 640 x 480.
Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 3>"$work/display" 2>"$work/log" &
server=$!
stop() {
  new_server
  kill "$server" 2>/dev/null
  wait "$server" 2>/dev/null
  rm -rf "$work"
}
trap stop EXIT
number=
for _ in $(seq 300); do
  number=$(cat "$work/display" 2>/dev/null)
  [ -n "$number" ] && break
  sleep 0.1
done
if [ -z "$number" ]; then
  echo "Xvfb did not start:" >&2
  cat "$work/log" >&2
  exit 1
fi
export DISPLAY=":$number"

case "$1" in
  *.exe)
    output="$work/output"
    "${as[@]}" "$wine" "$@" </dev/null >"$output" 2>&1
    code=$?
    cat "$output"
    exit "$code"
    ;;
  *)
    "$@"
    ;;
esac
