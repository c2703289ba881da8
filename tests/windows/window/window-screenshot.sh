#!/usr/bin/env bash
# Starts parlowin.exe on the display that with-display.sh made and saves a picture of its
# window, which must be 459 x 331 pixels and not empty (docs/parlowin-window-windows.png is one).
# Usage (through with-display.sh): window-screenshot.sh PARLOWIN.exe WINDOW_PROBE.exe OUTPUT.png
#                                  [PARLOWIN-ARGUMENT...]
set -uo pipefail
parlowin=$1 probe=$2 out=$3
shift 3
for tool in xdotool import identify; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIPPED: $tool is not installed (packages xdotool, imagemagick)"
    exit 77
  fi
done
read -ra as <<<"${WINE_AS:-}"
"${as[@]}" "$WINE" "$parlowin" "$@" </dev/null >/dev/null 2>&1 &
program=$!
trap 'kill "$program" 2>/dev/null' EXIT
"${as[@]}" "$WINE" "$probe" wait >/dev/null 2>&1 || { echo "FAIL: no window"; exit 1; }
window=$(timeout 30 xdotool search --sync --name '^Parlowen$' | head -n 1)
# The window paints once it is mapped; a picture of fewer colours is taken again.
for _ in $(seq 50); do
  import -window "$window" "$out"
  colours=$(identify -format '%k' "$out")
  [ "$colours" -gt 16 ] && break
  sleep 0.1
done
size=$(identify -format '%wx%h' "$out")
echo "screenshot $out: $size, $colours colours"
[ "$size" = 459x331 ] || { echo "FAIL: the picture is $size"; exit 1; }
[ "$colours" -gt 16 ] || { echo "FAIL: the window looks empty"; exit 1; }
"${as[@]}" "$WINE" "$probe" close >/dev/null 2>&1
wait "$program"
echo "PASS"
