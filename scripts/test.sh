#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test twice: a normal
# build with warnings as errors, and an AddressSanitizer + UBSan build. Also
# checks the formatting, gives each fuzz target a short run (scripts/fuzz.sh),
# and builds the web page and plays it in headless Chromium against the
# desktop program (tests/web/browser_test.py).
# Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh web browser
jobs="$(nproc)"

echo "== formatting"
git ls-files 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'tools/*.cpp' 'tools/*.h' 'bench/*.cpp' \
  'fuzz/*.cpp' \
  | xargs clang-format --dry-run -Werror

echo "== build (warnings as errors)"
cmake --preset build >/dev/null
cmake --build build -j"$jobs"
echo "== tests"
ctest --test-dir build --output-on-failure -j"$jobs"

echo "== build (AddressSanitizer + UndefinedBehaviorSanitizer)"
cmake --preset asan >/dev/null
cmake --build build-asan -j"$jobs"
echo "== tests under the sanitizers"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan --output-on-failure -j"$jobs"

echo "== fuzz smoke"
scripts/fuzz.sh 30

echo "== web page, and the browser test against the desktop program"
NATIVE_BUILD=build scripts/web.sh build
/usr/bin/python3 tests/web/browser_test.py build-web build/quillmoth
