#!/usr/bin/env bash
# Runs every benchmark of a Release build folder and prints their JSON lines (renewal_bench
# among them, which needs about 9 GiB free in the temporary folder for its 4 GiB store and
# the copies of it); the check's small files once more on one core.
# Usage: bash bench/run.sh build/bench
set -euo pipefail
dir=${1:-build/bench}
for b in "$dir"/bench/*_bench; do
  [ -x "$b" ] || continue
  echo "== $(basename "$b")" >&2
  "$b"
done
if [ -x "$dir/bench/check_bench" ] && command -v taskset > /dev/null; then
  echo "== check_bench --scenario small on one core (taskset -c 0)" >&2
  taskset -c 0 "$dir/bench/check_bench" --scenario small
fi
