#!/usr/bin/env bash
# Builds parlocon and runs it twice on the shipped example: the first run copies the example
# tree into build/demo (two mirrors and the master), the second finds nothing to copy.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh build
cmake --preset release >/dev/null
cmake --build --preset release --target parlocon
rm -rf build/demo
# Each run's own exit code is shown; the demo fails with the first one that was not 0.
failed=0
run() {
  local code=0
  build/release/console/parlocon examples/demo.bfs || code=$?
  [ "$failed" != 0 ] || failed=$code
  echo "== exit code $code$1"
}
echo "== first run: parlocon examples/demo.bfs"
run "; second run, nothing changed:"
run "; the copies are in build/demo"
exit "$failed"
