#!/usr/bin/env bash
# Compares the paint cost of an earlier commit's quelvo with the working tree's, in one
# run: each round runs `quelvo /s` of both under their own Xvfb at 1920 x 1080, in
# alternating order (AB, BA, ...), and measures the CPU time of quelvo (client) and of
# Xvfb (server) over the same stretch of rain, divided by the Timer1 ticks it got.
# Prints each round, then the medians and the ratio current / earlier.
#
#   bench/x11/compare.sh [--together] [commit] [seconds-per-run] [rounds]   (3cb9c13 20 5)
#
# The earlier commit is exported with git archive into build/bench-compare/<commit>
# (kept for the next run) and built there with its native preset; the current tree
# builds in build/bench-x11, as measure.sh does. Both with QUELVO_X11_TICK_STATS=ON, so
# quelvo prints its tick rate at exit. CPU times come from /proc/PID/schedstat (ns).
# Other processes on the machine change both figures alike; the ratio is what counts.
#
# With --together both run at the same time in each round, each on its own Xvfb, over
# the same seconds: on a machine whose load drifts from one run to the next (a virtual
# machine's neighbours), both then see the same load.
#
# QUELVO_BENCH_OPTIONS (CMake -D options) builds the current tree with them, in
# build/bench-x11-options: e.g. QUELVO_BENCH_OPTIONS=-DQUELVO_X11_TICK_STATS=ON.
set -euo pipefail
cd "$(dirname "$0")/../.."
. bench/x11/xvfb.sh

together=false
if [ "${1:-}" = --together ]; then
  together=true
  shift
fi
commit=$(git rev-parse --short "${1:-3cb9c13}")
seconds=${2:-20}
rounds=${3:-5}
rain_from=5 # seconds after start: the banner is over and the rain falls

earlier_src=build/bench-compare/$commit
if [ ! -x "$earlier_src/build/native/quelvo" ]; then
  rm -rf "$earlier_src"
  mkdir -p "$earlier_src"
  git archive "$commit" | tar -x -C "$earlier_src"
  (cd "$earlier_src" && cmake --preset native -DQUELVO_X11_TICK_STATS=ON >/dev/null &&
    cmake --build --preset native --target quelvo >/dev/null)
fi
current_build=build/bench-x11
[ -z "${QUELVO_BENCH_OPTIONS:-}" ] || current_build=build/bench-x11-options
# shellcheck disable=SC2086 # the options are words
cmake -S . -B "$current_build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQUELVO_X11_TICK_STATS=ON ${QUELVO_BENCH_OPTIONS:-} >/dev/null
cmake --build "$current_build" --target quelvo >/dev/null
earlier=$earlier_src/build/native/quelvo
current=$current_build/quelvo

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cpu_ns() { awk '{ print $1 }' "/proc/$1/schedstat"; }
gone() { [ ! -e "/proc/$1" ] || [ "$(awk '{ print $3 }' "/proc/$1/stat" 2>/dev/null)" = Z ]; }

# One run of a quelvo binary: prints "client-us server-us total-us" per tick.
measure() {
  local binary=$1 log=$work/$2.log xvfb xvfb_display pid
  start_xvfb 1920x1080
  DISPLAY=$xvfb_display "$binary" /s >"$log" 2>&1 &
  pid=$!
  sleep "$rain_from"
  local q0 x0 t0 q1 x1 t1
  q0=$(cpu_ns "$pid") x0=$(cpu_ns "$xvfb") t0=$(date +%s.%N)
  sleep "$seconds"
  q1=$(cpu_ns "$pid") x1=$(cpu_ns "$xvfb") t1=$(date +%s.%N)
  kill -TERM "$pid"
  for _ in $(seq 1 200); do gone "$pid" && break; sleep 0.01; done
  wait "$pid" 2>/dev/null || true
  kill -TERM "$xvfb"
  wait "$xvfb" 2>/dev/null || true
  local rate
  rate=$(awk '/^timer 1 ms:/ { r = $(NF-1) } END { print r + 0 }' "$log")
  awk -v q=$((q1 - q0)) -v x=$((x1 - x0)) -v t0="$t0" -v t1="$t1" -v rate="$rate" 'BEGIN {
    ticks = (t1 - t0) * rate
    if (ticks <= 0) { print "no ticks"; exit 1 }
    printf "%.1f %.1f %.1f\n", q / ticks / 1000, x / ticks / 1000, (q + x) / ticks / 1000 }'
}

earlier_runs=()
current_runs=()
for round in $(seq 1 "$rounds"); do
  if $together; then
    measure "$earlier" earlier >"$work/earlier" &
    measure "$current" current >"$work/current" &
    wait
  else
    if ((round % 2)); then order=(earlier current); else order=(current earlier); fi
    for which in "${order[@]}"; do
      if [ "$which" = earlier ]; then binary=$earlier; else binary=$current; fi
      measure "$binary" "$which" >"$work/$which"
    done
  fi
  earlier_runs+=("$(cat "$work/earlier")")
  current_runs+=("$(cat "$work/current")")
  echo "round $round: client/server/total us per tick: earlier ${earlier_runs[-1]}," \
    "current ${current_runs[-1]}" >&2
done

median() { # median of field $1 over the lines given after it
  local field=$1
  shift
  printf '%s\n' "$@" | awk -v f="$field" '{ print $f }' | sort -g |
    awk '{ v[NR] = $1 } END { print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'
}

echo
runs_were=alternating
$together && runs_were=together
echo "quelvo /s under Xvfb 1920x1080, ${seconds} s of rain x ${rounds} rounds ($runs_were), medians, us of CPU per Timer1 tick:"
[ -z "${QUELVO_BENCH_OPTIONS:-}" ] || echo "  current built with: $QUELVO_BENCH_OPTIONS"
printf '  %-28s %10s %10s %10s\n' "" client server total
for which in earlier current; do
  if [ "$which" = earlier ]; then runs=("${earlier_runs[@]}") label="earlier ($commit)"; else
    runs=("${current_runs[@]}") label="current (working tree${QUELVO_BENCH_OPTIONS:+, options})"
  fi
  printf '  %-28s %10s %10s %10s\n' "$label" "$(median 1 "${runs[@]}")" \
    "$(median 2 "${runs[@]}")" "$(median 3 "${runs[@]}")"
done
ratio=$(awk -v c="$(median 3 "${current_runs[@]}")" -v e="$(median 3 "${earlier_runs[@]}")" \
  'BEGIN { printf "%.2f", c / e }')
verdict=$(awk -v r="$ratio" 'BEGIN { print (r <= 0.5 ? "met" : "MISSED") }')
echo "  total current / earlier: $ratio (target <= 0.50: $verdict)"
