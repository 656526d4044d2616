#!/usr/bin/env bash
# Runs every benchmark of a Release build folder and prints their JSON lines.
# Usage: bash bench/run.sh build/bench
set -euo pipefail
dir=${1:-build/bench}
for b in "$dir"/bench/*_bench; do
  [ -x "$b" ] || continue
  echo "== $(basename "$b")" >&2
  "$b"
done
