#!/usr/bin/env bash
# Builds the release programs and the Debian package build/release/parlowen_<version>_<arch>.deb.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh package
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)"
rm -f build/release/parlowen_*.deb
(cd build/release && cpack -G DEB)
