#!/usr/bin/env bash
# Renders the window's 256 x 256 icon from its SVG. Needed only after the SVG changed.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh icon
rsvg-convert -w 256 -h 256 gui/icons/parlowin.svg -o gui/icons/parlowin.png
