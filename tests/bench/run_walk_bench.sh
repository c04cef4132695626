#!/usr/bin/env bash
# Runs the drive-walk benchmark under Wine in a fresh prefix: run_walk_bench.sh [BUILD_DIR [FILES [ROUNDS]]]
# BUILD_DIR is a configured win64 tree (default build/win64); the tree of files is made inside the prefix.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="${1:-$here/../../build/win64}"
files="${2:-50000}"
rounds="${3:-3}"
ninja -C "$build" walk_bench >/dev/null
PURGIX_TEST_TIMEOUT="${PURGIX_TEST_TIMEOUT:-1800}" \
  exec "$here/../support/wine-run" "$build/bin/walk_bench.exe" 'C:\walkbench' "$files" "$rounds"
