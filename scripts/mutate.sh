#!/usr/bin/env bash
# Plants one-line faults in the game's code, one at a time, and reports which
# of them the test suite catches.
#
#   scripts/mutate.sh                  every fault in scripts/mutations.txt
#   scripts/mutate.sh --only REGEX     only the entries whose line matches REGEX
#   scripts/mutate.sh --worktree       test the work tree as it is, not the last commit
#   scripts/mutate.sh --timeout S      seconds a mutant's test run may take (default 60)
#   scripts/mutate.sh --work DIR       keep the copy and its build in DIR (default build-mutate)
#   scripts/mutate.sh --check          only check that every entry applies to the work tree
#
# The faults are planted in a private copy of the last commit (or of the work
# tree: the files git tracks or would track) in build-mutate/tree, never in
# src/ itself, so people editing the work tree are not disturbed, and their
# unfinished work does not disturb the score; the copy is built in
# build-mutate/build, incrementally, one mutant at a time. A test run that
# fails, crashes or times out has caught its mutant. Tests that already fail
# without any fault are left out (and named), so that the score measures the
# faults and not someone's unfinished work.
set -euo pipefail
shopt -u patsub_replacement 2>/dev/null || true

root=$(cd "$(dirname "$0")/.." && pwd)
work=$root/build-mutate
list=$root/scripts/mutations.txt
timeout_s=60
from_head=1
only=""
check=0

while [[ $# -gt 0 ]]; do
  case $1 in
    --only) only=$2; shift 2 ;;
    --worktree) from_head=0; shift ;;
    --timeout) timeout_s=$2; shift 2 ;;
    --list) list=$2; shift 2 ;;
    --work) work=$(realpath -m "$2"); shift 2 ;;
    --check) check=1; shift ;;
    *) sed -n '2,19p' "$0"; exit 2 ;;
  esac
done

tree=$work/tree
build=$work/build
[[ $check == 1 ]] && tree=$root || mkdir -p "$tree" "$build"

# Brings the private copy up to date, copying only files whose content
# differs: unchanged files keep their time stamps, so the build stays
# incremental, and a file restored after a mutant is newer than the object
# built from the mutant.
sync_tree() {
  local from=$root
  local -a files
  if [[ $from_head == 1 ]]; then
    from=$work/head
    rm -rf "$from" && mkdir -p "$from"
    git -C "$root" archive HEAD | tar -x -C "$from"
    mapfile -t files < <(cd "$from" && find . -type f | sed 's|^\./||')
  else
    mapfile -t files < <(git -C "$root" ls-files --cached --others --exclude-standard)
  fi
  declare -A keep=()
  local f
  for f in "${files[@]}"; do
    [[ -f $from/$f ]] || continue
    keep[$f]=1
    if ! cmp -s "$from/$f" "$tree/$f"; then
      mkdir -p "$(dirname "$tree/$f")"
      cp "$from/$f" "$tree/$f"
    fi
  done
  # A file deleted upstream must not linger: the build globs its sources.
  while IFS= read -r f; do
    [[ -n ${keep[$f]:-} ]] || rm -f "$tree/$f"
  done < <(cd "$tree" && find . -type f | sed 's|^\./||')
}

build_tests() {
  cmake --build "$build" --target quillmoth_tests -j2 > "$work/build.log" 2>&1
}

# Runs the suite; the extra arguments go to the test binary.
run_tests() {
  (cd "$build" && SDL_AUDIODRIVER=dummy timeout "$timeout_s" ./quillmoth_tests \
    --gtest_brief=1 --gtest_fail_fast "$@" > "$work/test.log" 2>&1)
}

mutated=""
backup=$work/original
restore() {
  if [[ -n $mutated ]]; then
    cp "$backup" "$tree/$mutated"
    mutated=""
  fi
}
trap restore EXIT
trap 'restore; exit 130' INT TERM

filter=()
if [[ $check == 0 ]]; then
sync_tree
if [[ ! -f $build/CMakeCache.txt ]]; then
  # The binary is run directly, so tests are listed only when ctest asks,
  # not after every link.
  cmake -S "$tree" -B "$build" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE=PRE_TEST > "$work/configure.log"
fi
build_tests || { echo "the unchanged copy does not build; see $work/build.log"; exit 1; }

if ! run_tests; then
  # Fail-fast stops at the first failure: look for all of them.
  (cd "$build" && SDL_AUDIODRIVER=dummy timeout "$timeout_s" ./quillmoth_tests \
    --gtest_brief=1 > "$work/test.log" 2>&1) || true
  failing=$(sed -nE 's/^\[  FAILED  \] ([A-Za-z0-9_]+\.[A-Za-z0-9_]+).*/\1/p' "$work/test.log" |
    sort -u | paste -sd: -)
  [[ -n $failing ]] || { echo "the unchanged suite fails; see $work/test.log"; exit 1; }
  echo "left out, failing without any fault: ${failing//:/ }"
  filter=("--gtest_filter=-$failing")
  run_tests "${filter[@]}" || { echo "the unchanged suite still fails; see $work/test.log"; exit 1; }
fi
fi

total=0
caught=0
broken=0
survivors=()
number=0
while IFS= read -r line || [[ -n $line ]]; do
  [[ -z ${line//[[:space:]]/} || $line == \#* ]] && continue
  number=$((number + 1))
  [[ -z $only || $line =~ $only ]] || continue
  # "path: original => replacement"; an empty replacement drops the text.
  file=${line%%: *}
  rest=${line#*: }
  original=${rest%% =>*}
  replacement=${rest#* =>}
  replacement=${replacement# }
  target=$tree/$file
  label=$(printf '%3d %s' "$number" "$line")
  if [[ ! -f $target ]]; then
    echo "BROKEN   $label  (no such file)"
    broken=$((broken + 1))
    continue
  fi
  content=$(cat "$target"; printf x)
  content=${content%x}
  without=${content//"$original"/}
  if (( ${#content} - ${#without} != ${#original} )); then
    echo "BROKEN   $label  (the original text is not in the file exactly once)"
    broken=$((broken + 1))
    continue
  fi
  if [[ $check == 1 ]]; then
    total=$((total + 1))
    continue
  fi
  cp "$target" "$backup"
  mutated=$file
  printf '%s' "${content/"$original"/"$replacement"}" > "$target"
  if ! build_tests; then
    restore
    echo "BROKEN   $label  (does not build)"
    broken=$((broken + 1))
    continue
  fi
  total=$((total + 1))
  if run_tests "${filter[@]}"; then
    echo "SURVIVED $label"
    survivors+=("$label")
  else
    by=$(sed -nE 's/^\[  FAILED  \] ([A-Za-z0-9_]+\.[A-Za-z0-9_]+).*/\1/p' "$work/test.log" | head -1)
    [[ -n $by ]] || by="crash or timeout"
    echo "CAUGHT   $label  ($by)"
    caught=$((caught + 1))
  fi
  restore
done < "$list"

if [[ $check == 1 ]]; then
  echo "$total entries apply; $broken do not"
  exit $((broken > 0))
fi

# Leaves the copy's objects built from the real sources for the next run.
build_tests || true

echo
if (( total > 0 )); then
  echo "caught $caught of $total mutants ($((100 * caught / total))%)"
fi
(( broken == 0 )) || echo "$broken entries could not be planted or built; fix them in $list"
for s in "${survivors[@]}"; do echo "survived: $s"; done
