#!/usr/bin/env bash
# Builds the demo game from samples/demo into the given folder with the project's own tools.
set -euo pipefail
build=${1:-build}
out=${2:-$build/demo}
mkdir -p "$out"
# Until the scenario compiler exists the demo folder holds its assets as they are.
cp -r samples/demo/. "$out"/
