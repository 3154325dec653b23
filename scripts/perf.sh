#!/usr/bin/env bash
# Prints what the game costs to run, as a markdown table ready for the README:
# the benchmark ratios (when the benchmarks are built), then the whole program
# run three ways: in a window on a virtual X server (Xvfb, 1280 x 1024, scale
# 3), on SDL's dummy video driver, and headless.
#
#   scripts/perf.sh [BUILD_DIR]      (default: build)
#   scripts/perf.sh web [SITE]       the web page instead (default: build-web,
#                                    built by scripts/web.sh when missing):
#                                    scripts/perf_web.py, its options there
#
# Environment: PERF_SECONDS (measured seconds per windowed run, default 15),
# PERF_WARMUP (seconds left out at the start of each run, default 3),
# PERF_NO_XVFB=1 skips the X server runs.
#
# CPU is the process's own time (user + system, from /proc/PID/stat) over the
# wall clock of the measured span, in % of one core. The frame period comes
# from the program itself (QUILLMOTH_FRAME_STATS=1 makes it report the frames
# shown and the mean time between them when it exits). Other work on the
# machine inflates both: the load average is printed with the table.
set -euo pipefail

cd "$(dirname "$0")/.."
if [ "${1:-}" = web ]; then
  site=${2:-build-web}
  scripts/setup.sh web browser
  if [ ! -f "$site/quillmoth.wasm" ]; then scripts/web.sh build; fi
  exec /usr/bin/python3 scripts/perf_web.py "$site"
fi
build=${1:-build}
bin=$build/quillmoth
bench=$build/quillmoth_bench
measure=${PERF_SECONDS:-15}
warmup=${PERF_WARMUP:-3}

if [ ! -x "$bin" ]; then
  echo "building $build (with the benchmarks)..." >&2
  cmake -S . -B "$build" -DQUILLMOTH_BENCHMARKS=ON >/dev/null
  cmake --build "$build" -j"$(nproc)" >/dev/null
fi

# The X server, the tools that find and minimise the window, and GNU time
# are needed only here, so the project's setup leaves them out; fetch them
# like setup.sh would.
missing=()
[ -x /usr/bin/time ] || missing+=(time)
if [ "${PERF_NO_XVFB:-0}" != 1 ]; then
  command -v Xvfb >/dev/null || missing+=(xvfb)
  command -v xdotool >/dev/null || missing+=(xdotool)
  command -v xwininfo >/dev/null || missing+=(x11-utils)
fi
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  echo "installing: ${missing[*]}" >&2
  { $sudo apt-get update -qq &&
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
      "${missing[@]}"; } >/dev/null 2>&1 || echo "cannot install ${missing[*]}" >&2
fi

work=$(mktemp -d)
xvfb_pid=""
cleanup() {
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
# A private meeting folder: a copy someone else is running must not take our
# runs to the front instead.
export QUILLMOTH_RUNTIME_DIR=$work
export SDL_AUDIODRIVER=dummy
tick=$(getconf CLK_TCK)

cpu_ticks() { # utime + stime of a process, in clock ticks
  local stat
  stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 1
  stat=${stat##*) }
  awk '{ print $12 + $13 }' <<<"$stat"
}

now_ns() { date +%s%N; }

# run_case NAME TARGET SCRIPT_PREFIX [minimise]: starts the program with the script
# prefix followed by a long wait, lets it settle, measures CPU over the span,
# then closes it and reads its frame statistics. Prints one table row.
run_case() {
  local name=$1 target=$2 prefix=$3 minimise=${4:-}
  local frames=$(((warmup + measure + 5) * 1000 / 30))
  local log=$work/stats.log
  printf '%swait %d\nquit\n' "$prefix" "$frames" |
    QUILLMOTH_FRAME_STATS=1 "$bin" "${run_args[@]}" --script - >/dev/null 2>"$log" &
  local pid=$!
  if [ -n "$minimise" ]; then
    local window
    window=$(timeout 10 xdotool search --sync --onlyvisible --name '^Quillmoth$' | head -1) || true
    xdotool windowminimize "$window" || name="$name (not minimised: no window found)"
    sleep 1
    # With no window manager to iconify it the window stays mapped; unmap it
    # as a window manager does when it minimises one.
    if xwininfo -id "$window" 2>/dev/null | grep -q IsViewable; then
      xdotool windowunmap "$window"
      name="$name (unmapped: no window manager)"
    fi
  fi
  sleep "$warmup"
  local t0 c0 t1 c1 cpu="?" period
  t0=$(now_ns)
  c0=$(cpu_ticks "$pid") || c0=""
  sleep "$measure"
  c1=$(cpu_ticks "$pid") || c1=""
  t1=$(now_ns)
  wait "$pid" || true
  if [ -n "$c0" ] && [ -n "$c1" ]; then
    cpu=$(awk -v c="$((c1 - c0))" -v t="$((t1 - t0))" -v hz="$tick" \
      'BEGIN { printf "%.1f", 100 * c / hz / (t / 1e9) }')
  fi
  period=$(sed -n 's/.*mean period \([0-9.]*\) ms.*/\1/p' "$log")
  echo "| $context | $name | $cpu% | ${period:-?} ms | $target |"
}

run_windowed() {
  local still='wait 30
tap 120 300
wait 3
tap 140 10
wait 2
tap 30 60
'
  if [ "$context" = "dummy video driver" ]; then
    run_case "title" "≤ 3%, 30.0–31.0 ms" ""
    run_case "still board (2 x 4)" "≤ 3%, 30.0–31.0 ms" "$still"
  else
    run_case "title" "≤ 4%, 30.0–31.5 ms" ""
    run_case "still board (2 x 4)" "≤ 2%, 30.0–31.5 ms" "$still"
    run_case "minimised, title" "≤ 1%, 30.0–31.5 ms" "" minimise
  fi
}

echo "Measured $(date -u '+%Y-%m-%d %H:%M UTC') on $(nproc) cores of" \
  "$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -1);" \
  "load average at the start: $(cut -d' ' -f1-3 /proc/loadavg)."
echo

if [ -x "$bench" ]; then
  echo '```'
  "$bench" --benchmark_format=console 2>&1
  echo '```'
  echo
fi

echo "| run | screen | CPU (% of one core) | mean frame period | target |"
echo "|---|---|---|---|---|"

if [ "${PERF_NO_XVFB:-0}" != 1 ] && command -v Xvfb >/dev/null && command -v xdotool >/dev/null &&
  command -v xwininfo >/dev/null; then
  display=99
  while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
  Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done
  context="Xvfb 1280x1024, scale 3"
  run_args=(--scale 3)
  export DISPLAY=":$display"
  run_windowed
  unset DISPLAY
  kill "$xvfb_pid" 2>/dev/null || true
  wait "$xvfb_pid" 2>/dev/null || true
  xvfb_pid=""
fi

context="dummy video driver"
run_args=(--scale 3)
export SDL_VIDEODRIVER=dummy
run_windowed
unset SDL_VIDEODRIVER

# Headless: the virtual clock never waits, so the frames run flat out.
printf 'wait 10000\nquit\n' |
  /usr/bin/time -f '%e %M' -o "$work/time.txt" "$bin" --headless --script - >/dev/null
read -r elapsed rss <"$work/time.txt"
megabytes=$(awk -v k="$rss" 'BEGIN { printf "%.1f", k / 1024 }')
echo "| headless | 10,000 title frames | ${elapsed} s in all | peak memory $megabytes MB | < 2 s, < 16 MB |"
