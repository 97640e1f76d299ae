#!/usr/bin/env bash
# The preview's CPU beside `quelvo /p` of the same area: each round runs, one after the
# other, `quelvo /p <id>` in a WIDTH x HEIGHT window of its own on a private Xvfb, then
# quelvo_preview_run (a preview::Host drawn into a canvas every 1/64 s, the settings
# window's part without GTK). After the 3.3 s banner and 2 s more, S seconds are counted
# from /proc/PID/schedstat; medians of CPU per 1/64 s tick are printed, and the ratio of
# the preview to quelvo with the X server that draws for it, and to quelvo alone.
#
#   bench/preview/versus_p.sh [seconds] [rounds] [width height scale]   (15 5 320 240 1)
#
# Uses the native preset's build (cmake --preset native), building what it needs.
set -euo pipefail
cd "$(dirname "$0")/../.."
. bench/x11/xvfb.sh

seconds=${1:-15}
rounds=${2:-5}
width=${3:-320} height=${4:-240} scale=${5:-1}
build=build/native
cmake --build --preset native --target quelvo quelvo_preview_run quelvo_preview_x_host >/dev/null
bin=$build/bench/preview

cpu_ns() { awk '{ print $1 }' "/proc/$1/schedstat"; }
per_tick() { awk -v ns="$1" -v ticks=$((seconds * 64)) 'BEGIN { printf "%.1f", ns / ticks / 1000 }'; }

# quelvo /p in a host window of the area's size: "quelvo-us xvfb-us" per tick.
measure_quelvo() {
  local xvfb xvfb_display host id pid q0 x0 q1 x1
  start_xvfb 1024x768
  exec {out}< <(DISPLAY=$xvfb_display "$bin/quelvo_preview_x_host" "$width" "$height")
  host=$!
  read -r -t 10 id <&"$out"
  DISPLAY=$xvfb_display "$build/quelvo" /p "$id" >/dev/null 2>&1 &
  pid=$!
  sleep 5.3
  q0=$(cpu_ns "$pid") x0=$(cpu_ns "$xvfb")
  sleep "$seconds"
  q1=$(cpu_ns "$pid") x1=$(cpu_ns "$xvfb")
  kill -TERM "$pid" "$host" "$xvfb"
  wait "$pid" "$host" "$xvfb" 2>/dev/null || true
  exec {out}<&-
  echo "$(per_tick $((q1 - q0))) $(per_tick $((x1 - x0)))"
}

measure_preview() {
  local pid p0 p1
  "$bin/quelvo_preview_run" "$width" "$height" "$scale" &
  pid=$!
  sleep 5.3
  p0=$(cpu_ns "$pid")
  sleep "$seconds"
  p1=$(cpu_ns "$pid")
  kill -TERM "$pid"
  wait "$pid" 2>/dev/null || true
  per_tick $((p1 - p0))
}

lines=""
for round in $(seq 1 "$rounds"); do
  line="$(measure_quelvo) $(measure_preview)"
  lines+="$line"$'\n'
  echo "round $round: quelvo/Xvfb/preview us per tick $line" >&2
done

median() {
  printf '%s' "$lines" | awk -v f="$1" '{ print $f }' | sort -g |
    awk '{ v[NR] = $1 } END { print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'
}
q=$(median 1) x=$(median 2) p=$(median 3)
echo
echo "${width}x${height} at scale ${scale}, ${seconds} s x ${rounds} rounds, medians, us of CPU per 1/64 s tick:"
printf '  %-36s %8s\n' "quelvo /p" "$q" "Xvfb drawing for it" "$x" "quelvo /p + Xvfb" \
  "$(awk -v q="$q" -v x="$x" 'BEGIN { printf "%.1f", q + x }')" "preview::Host (no toolkit)" "$p"
awk -v q="$q" -v x="$x" -v p="$p" 'BEGIN {
  r = p / (q + x)
  printf "  preview / (quelvo /p + Xvfb): %.2f (target <= 1.5: %s)\n", r, r <= 1.5 ? "met" : "MISSED"
  printf "  preview / quelvo /p alone:    %.2f\n", p / q }'
