#!/usr/bin/env bash
# Builds parlocon and runs it twice on the shipped example: the first run copies the example
# tree into build/demo (two mirrors and the master), the second finds nothing to copy.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh build
cmake --preset release >/dev/null
cmake --build --preset release --target parlocon
rm -rf build/demo
echo "== first run: parlocon examples/demo.bfs"
build/release/console/parlocon examples/demo.bfs
echo "== exit code $?; second run, nothing changed:"
build/release/console/parlocon examples/demo.bfs
echo "== exit code $?; the copies are in build/demo"
