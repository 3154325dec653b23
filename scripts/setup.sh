#!/usr/bin/env bash
# Installs the Debian packages Quillmoth needs to build, run and test, when
# any of them is missing. Safe to run again.
set -euo pipefail

packages=(g++ cmake make pkg-config libsdl2-dev libpng-dev libgtest-dev libgmock-dev
          libbenchmark-dev clang-format clang libclang-rt-14-dev
          desktop-file-utils appstream man-db)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
