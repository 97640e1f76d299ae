#!/usr/bin/env bash
# What repainting 64 times a second costs on this machine before quelvo does anything
# of its own: each round runs, each on its own Xvfb at 1920 x 1080 and one after the
# other, quelvo_x11_floor_client copying one area per tick (the cost of waking client
# and server alone), the same client copying as many areas of the size quelvo's rain
# damages per tick (its copies with no drawing and no program logic), and `quelvo /s`.
# Prints each round, then the medians of client, server and total CPU per tick.
#
#   bench/x11/floor.sh [seconds-per-run] [rounds] [areas width height]   (15 5 48 17 67)
#
# 48 areas of 17 x 67 is what a tick of the rain damages at this size: one strip per
# falling column, from its highest trail to its head, and the old places of wrapped
# heads. CPU times come from /proc/PID/schedstat; a run of S seconds counts S x 64 ticks.
#
# QUELVO_BENCH_OPTIONS (CMake -D options) builds quelvo with them, in
# build/bench-x11-options (e.g. -DQUELVO_X11_TICK_STATS=ON).
set -euo pipefail
cd "$(dirname "$0")/../.."
. bench/x11/xvfb.sh

seconds=${1:-15}
rounds=${2:-5}
copies=("${3:-48}" "${4:-17}" "${5:-67}")
build=build/bench-x11
[ -z "${QUELVO_BENCH_OPTIONS:-}" ] || build=build/bench-x11-options
# shellcheck disable=SC2086 # the options are words
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo ${QUELVO_BENCH_OPTIONS:-} >/dev/null
cmake --build "$build" --target quelvo quelvo_x11_floor_client >/dev/null
floor=$build/bench/x11/quelvo_x11_floor_client

cpu_ns() { awk '{ print $1 }' "/proc/$1/schedstat"; }

# One run of a command: prints "client-us server-us total-us" per tick.
measure() {
  local xvfb xvfb_display pid q0 x0 q1 x1
  start_xvfb 1920x1080
  DISPLAY=$xvfb_display "$@" >/dev/null 2>&1 &
  pid=$!
  sleep 5 # quelvo's banner is over
  q0=$(cpu_ns "$pid") x0=$(cpu_ns "$xvfb")
  sleep "$seconds"
  q1=$(cpu_ns "$pid") x1=$(cpu_ns "$xvfb")
  kill -TERM "$pid" "$xvfb"
  wait "$pid" "$xvfb" 2>/dev/null || true
  awk -v q=$((q1 - q0)) -v x=$((x1 - x0)) -v ticks=$((seconds * 64)) 'BEGIN {
    printf "%.1f %.1f %.1f\n", q / ticks / 1000, x / ticks / 1000, (q + x) / ticks / 1000 }'
}

names=("wake, one copy" "${copies[0]} copies of ${copies[1]}x${copies[2]}" "quelvo /s")
runs=("" "" "")
for round in $(seq 1 "$rounds"); do
  lines=("$(measure "$floor" 1 "${copies[1]}" "${copies[2]}")"
    "$(measure "$floor" "${copies[@]}")" "$(measure "$build/quelvo" /s)")
  for i in 0 1 2; do
    runs[i]+="${lines[i]}"$'\n'
    echo "round $round ${names[i]}: client/server/total us per tick ${lines[i]}" >&2
  done
done

median() { # median of field $1 of the lines in $2
  printf '%s' "$2" | awk -v f="$1" '{ print $f }' | sort -g |
    awk '{ v[NR] = $1 } END { print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'
}

echo
echo "Under Xvfb 1920x1080, ${seconds} s x ${rounds} rounds, medians, us of CPU per 1/64 s tick:"
[ -z "${QUELVO_BENCH_OPTIONS:-}" ] || echo "  quelvo built with: $QUELVO_BENCH_OPTIONS"
printf '  %-24s %10s %10s %10s\n' "" client server total
for i in 0 1 2; do
  printf '  %-24s %10s %10s %10s\n' "${names[i]}" "$(median 1 "${runs[i]}")" \
    "$(median 2 "${runs[i]}")" "$(median 3 "${runs[i]}")"
done
