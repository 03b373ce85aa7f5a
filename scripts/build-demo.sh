#!/usr/bin/env bash
# Builds the demo game from samples/demo into the given folder with the project's own kivo tool.
set -euo pipefail
build=${1:-build}
out=${2:-$build/demo}
rm -rf "$out"
"$build/bin/kivo" build samples/demo -o "$out"
