#!/usr/bin/env bash
# Installs what is missing, builds Quillmoth and starts it. Extra arguments go
# to the game (try --help).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)"
exec build/quillmoth "$@"
