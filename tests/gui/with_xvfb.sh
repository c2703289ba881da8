#!/usr/bin/env bash
# Runs a command against a private Xvfb server. The server picks a free display itself, so
# parallel runs never collide. Exits with 77 (skipped) when Xvfb is not installed.
# Usage: with_xvfb.sh COMMAND [ARGS...]
set -euo pipefail
if ! command -v Xvfb >/dev/null; then
  echo "SKIPPED: Xvfb is not installed (package xvfb)"
  exit 77
fi
fifo_dir=$(mktemp -d)
mkfifo "$fifo_dir/display"
Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 3>"$fifo_dir/display" 2>"$fifo_dir/log" &
server=$!
cleanup() {
  kill "$server" 2>/dev/null || true
  wait "$server" 2>/dev/null || true
  rm -rf "$fifo_dir"
}
trap cleanup EXIT
if ! read -r -t 30 number <"$fifo_dir/display"; then
  echo "Xvfb did not start:" >&2
  cat "$fifo_dir/log" >&2
  exit 1
fi
export DISPLAY=":$number"
"$@"
