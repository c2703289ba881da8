#!/usr/bin/env bash
# Starts parlowin on the current X display, checks that its window is 459 x 331 and centred,
# and saves a screenshot of it. Exits with 77 (skipped) when the X tools are missing.
# Usage: window_screenshot.sh PARLOWIN OUTPUT.png [PARLOWIN-ARGS...]
set -euo pipefail
parlowin=$1 out=$2
shift 2
for tool in xdotool xwininfo import identify; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIPPED: $tool is not installed (packages xdotool, x11-utils, imagemagick)"
    exit 77
  fi
done

"$parlowin" "$@" 2>/dev/null &
program=$!
trap 'kill "$program" 2>/dev/null || true' EXIT
window=$(timeout 30 xdotool search --sync --name '^Parlowen$' | head -n 1)
[ -n "$window" ] || { echo "FAIL: no window titled Parlowen"; exit 1; }

info=$(xwininfo -id "$window")
field() { sed -n "s/^ *$1: *//p" <<<"$info"; }
width=$(field Width) height=$(field Height) left=$(field 'Absolute upper-left X')
top=$(field 'Absolute upper-left Y')
screen=$(xwininfo -root | sed -n 's/^ *-geometry \([0-9]*\)x\([0-9]*\).*/\1 \2/p')
read -r screen_width screen_height <<<"$screen"
echo "window ${width}x${height}+${left}+${top} on ${screen_width}x${screen_height}"
[ "$width" = 459 ] && [ "$height" = 331 ] || { echo "FAIL: window is not 459x331"; exit 1; }
off_x=$((2 * left + width - screen_width)) off_y=$((2 * top + height - screen_height))
if [ "${off_x#-}" -gt 1 ] || [ "${off_y#-}" -gt 1 ]; then
  echo "FAIL: window is not centred"
  exit 1
fi

# The window paints once it is mapped; give it a moment before the picture is taken.
for _ in $(seq 50); do
  import -window "$window" "$out"
  colours=$(identify -format '%k' "$out")
  [ "$colours" -gt 16 ] && break
  sleep 0.1
done
size=$(identify -format '%wx%h' "$out")
echo "screenshot $out: $size, $colours colours"
[ "$size" = 459x331 ] || { echo "FAIL: screenshot is $size"; exit 1; }
[ "$colours" -gt 16 ] || { echo "FAIL: the window looks empty"; exit 1; }
echo "PASS"
