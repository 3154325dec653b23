#!/usr/bin/env bash
# Installs the Debian packages Quillmoth needs to build, run and test, when
# any of them is missing. Safe to run again.
#
#   scripts/setup.sh                the desktop game, its tests and tools
#   scripts/setup.sh web            also the WebAssembly toolchain (scripts/web.sh)
#   scripts/setup.sh web browser    also the browser test's Chromium and Python modules
set -euo pipefail

packages=(g++ cmake make pkg-config libsdl2-dev libpng-dev libjpeg-dev libexif-dev
          libgtest-dev libgmock-dev
          libbenchmark-dev clang-format clang libclang-rt-14-dev
          desktop-file-utils appstream man-db)
for group in "$@"; do
  case "$group" in
    web) packages+=(emscripten) ;;
    browser) packages+=(chromium chromium-driver python3-selenium python3-pil) ;;
    *) echo "usage: scripts/setup.sh [web] [browser]" >&2; exit 2 ;;
  esac
done
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
