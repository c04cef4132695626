#!/usr/bin/env bash
# `make bench`: every benchmark of the project from one run: run_all.sh [BUILD_DIR]
# BUILD_DIR is a configured win64 tree (default build/win64). clamscan comes from install-deps.sh bench.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="${1:-$here/../../build/win64}"
command -v clamscan >/dev/null || "$here/../../tools/install-deps.sh" bench
status=0
echo "== scan, file checking and memory (run_bench.py)"
/usr/bin/python3 "$here/run_bench.py" "$build" || status=1
if [ -x "$here/run_walk_bench.sh" ]; then
  echo "== drive walk (run_walk_bench.sh)"
  "$here/run_walk_bench.sh" "$build" || status=1
fi
exit $status
