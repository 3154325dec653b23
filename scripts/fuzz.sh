#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ (clang, AddressSanitizer + UBSan) in
# build-fuzz/ and runs each for SECONDS (default 30), starting from a copy of
# its seed corpus in fuzz/corpus/, so the runs never add to the repository's.
# Prints one line per target; exits non-zero when any of them crashes, trips
# a sanitizer, hangs or finds a result that differs from its reference. The
# input that did it and the run's log are kept in build-fuzz/findings/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-30}"
targets=(tga records script command_line pictures)
started=$(date +%s)
scripts/setup.sh

cmake --preset fuzz >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target quillmoth_fuzz

# The corpus copies and the targets' own temporary folders live in memory
# where the machine has /dev/shm: the records target saves (and so forces to
# disk) a file on every run.
base=/dev/shm
[ -d "$base" ] && [ -w "$base" ] || base="${TMPDIR:-/tmp}"
work="$(mktemp -d "$base/quillmoth-fuzz.XXXXXX")"
trap 'rm -rf "$work"' EXIT
findings=build-fuzz/findings
mkdir -p "$findings"

failed=()
for target in "${targets[@]}"; do
  mkdir -p "$work/$target/corpus" "$work/$target/tmp"
  cp fuzz/corpus/"$target"/* "$work/$target/corpus/"
  log="$findings/$target.log"
  status=0
  TMPDIR="$work/$target/tmp" UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    build-fuzz/fuzz/"${target}_fuzz" -max_total_time="$seconds" -timeout=10 \
    -print_final_stats=1 -artifact_prefix="$findings/$target-" "$work/$target/corpus" \
    >"$log" 2>&1 || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  runs=${runs:-0}
  if [ "$status" -eq 0 ]; then
    echo "$target: $runs runs in $seconds s ($((runs / (seconds > 0 ? seconds : 1)))/s)"
  else
    echo "$target: FAILED after $runs runs (exit $status); log and input in $findings/"
    grep -E "_fuzz: |ERROR|SUMMARY|runtime error|Test unit written" "$log" | head -n 8 || true
    failed+=("$target")
  fi
done

echo "fuzz smoke: $(($(date +%s) - started)) s in all"
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz: ${failed[*]} failed"
  exit 1
fi
