#!/usr/bin/env bash
# Checks the formatting of changed C++ files, then builds and runs every test: once with
# warnings as errors, once under AddressSanitizer and UndefinedBehaviorSanitizer, the Windows
# build under Wine, and a short run of the settings fuzzer; then, as root, installs and removes
# the Debian package. The long reliability runs are tests/reliability/run-slow.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh test
echo "== format: C++ files changed by the newest commit against .clang-format"
scripts/check-format.sh
jobs=$(nproc)
for preset in ci asan; do
  echo "== $preset: configure and build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  echo "== $preset: test"
  ctest --preset "$preset" -j "$jobs"
done
echo "== windows: cross-build with mingw-w64, test under Wine"
JOBS=$jobs scripts/test-windows.sh
echo "== fuzz: a short run of the settings fuzzer (clang, libFuzzer, ASan+UBSan)"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$jobs"
ctest --preset fuzz
scripts/package-test.sh
