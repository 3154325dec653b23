#!/usr/bin/env bash
# The game as a web page. Installs what is missing, builds the page into
# build-web/ (a static site with index.html at its top: copy it to any web
# server) and serves it on http://127.0.0.1:8000 with Python's web server.
# The build trees behind it live in build-wasm/.
#
#   scripts/web.sh            build, then serve (PORT=8080 for another port)
#   scripts/web.sh build      only build
#
# The pictures, sounds and icons come from the native asset generator, built
# in build-wasm/native; NATIVE_BUILD=DIR takes them from another native
# build folder instead (scripts/test.sh passes build/, already built).
set -euo pipefail
cd "$(dirname "$0")/.."
case "${1:-serve}" in
  build | serve) ;;
  *) echo "usage: scripts/web.sh [build]" >&2; exit 2 ;;
esac
scripts/setup.sh web
site="$PWD/build-web"
work="$PWD/build-wasm"
jobs="$(nproc)"
native="${NATIVE_BUILD:-$work/native}"
native="$(mkdir -p "$native" && cd "$native" && pwd)"

started=$(date +%s)
if [ ! -f "$native/CMakeCache.txt" ]; then
  cmake -S . -B "$native" -DCMAKE_BUILD_TYPE=Release -DQUILLMOTH_TESTS=OFF >/dev/null
fi
cmake --build "$native" --target quillmoth_assets -j"$jobs"

# Debian's emscripten finds its JavaScript optimizer's modules only here.
export NODE_PATH=/usr/share/nodejs
# The preset (CMakePresets.json) puts the program in $work/wasm and the
# site in $site; only the assets' folder varies.
emcmake cmake --preset web -DQUILLMOTH_WEB_ASSETS="$native" >/dev/null
cmake --build "$work/wasm" -j"$jobs"
echo "web page built in $(($(date +%s) - started)) s: $site"
( cd "$site" && ls -l quillmoth.wasm quillmoth.js quillmoth.data index.html page.js | awk '{ total += $5; print } END { print "total", total, "bytes" }' )

[ "${1:-serve}" = build ] && exit 0
port="${PORT:-8000}"
echo "Open http://127.0.0.1:$port/ (Ctrl+C stops the server)"
exec python3 -m http.server "$port" --bind 127.0.0.1 --directory "$site"
