#!/usr/bin/env bash
# The long parts of the reliability suite, on a release build: a run over 1,000,000 files
# (memory and time per file), 200 rounds of kill -9 and rerun, and 1,000,000 fuzzer inputs.
# About 45 minutes on two cores. Counts can be changed through the environment:
#   PARLOWEN_SCALE_FILES (1000000), PARLOWEN_KILL_ROUNDS (200), PARLOWEN_FUZZ_RUNS (1000000).
set -euo pipefail
cd "$(dirname "$0")/../.."
scripts/install-deps.sh test
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)" --target reliability_tests
PARLOWEN_SCALE_FILES=${PARLOWEN_SCALE_FILES:-1000000} \
PARLOWEN_KILL_ROUNDS=${PARLOWEN_KILL_ROUNDS:-200} \
  build/release/tests/reliability/reliability_tests --gtest_filter='ScaleTest.*:KillTest.*'
tests/reliability/fuzz/run-long.sh "${PARLOWEN_FUZZ_RUNS:-1000000}"
