#!/usr/bin/env bash
# Runs every benchmark program of the build; each compares itself with a baseline in the same run.
set -euo pipefail
build=${1:-build}
shopt -s nullglob
found=0
for b in "$build"/bin/*_bench; do
  found=1
  echo "== $(basename "$b")"
  "$b" --benchmark_counters_tabular=true
done
[[ $found -eq 1 ]] || echo "no benchmark programs built"
