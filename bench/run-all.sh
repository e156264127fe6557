#!/usr/bin/env bash
# Runs every benchmark against an optimised build folder (default build-bench).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-bench}
# The window benchmarks need no screen.
[ -n "${DISPLAY:-}" ] || export QT_QPA_PLATFORM=offscreen
for b in "$build"/bin/bench_*; do
  [ -x "$b" ] && "$b"
done
for s in bench/*.sh; do
  [ "$(basename "$s")" = run-all.sh ] || bash "$s" "$build"
done
