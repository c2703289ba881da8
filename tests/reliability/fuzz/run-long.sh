#!/usr/bin/env bash
# Builds the settings fuzzer (clang 14, libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer)
# and runs it for RUNS inputs, 1000000 unless given. Exits non-zero on the first failing input,
# which libFuzzer leaves as build/fuzz/crash-*.
# Usage: tests/reliability/fuzz/run-long.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/../../.."
runs=${1:-1000000}
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j2
corpus=build/fuzz/corpus-long
mkdir -p "$corpus"
exec build/fuzz/tests/reliability/fuzz/settings_fuzzer "$corpus" tests/reliability/fuzz/seeds \
  -dict=tests/reliability/fuzz/settings.dict -max_len=4096 -runs="$runs" \
  -print_final_stats=1 -artifact_prefix=build/fuzz/
