#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running the demo need.
# Quick when everything is present: apt is only touched for what dpkg says is missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ make pkg-config
  libsdl2-dev libfreetype-dev libfontconfig-dev zlib1g-dev libpng-dev libjpeg62-turbo-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-ipafont-gothic fonts-ipafont-mincho
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "install-deps: installing ${missing[*]}"
sudo=""
[[ $(id -u) -eq 0 ]] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
