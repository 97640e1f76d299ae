#!/usr/bin/env bash
# Measures the real saver under Xvfb at 1920 x 1080: `quelvo /s` runs for 20 s, three
# times, and the medians are reported: CPU of quelvo and of the X server over the same
# 20 s (and over the rain alone, after the 3 s banner), quelvo's peak RSS, the Timer1
# ticks per second it actually got, and the time from process start to the first frame.
#
#   bench/x11/measure.sh [seconds-per-run] [runs]
#
# Builds its own copy in build/bench-x11 with QUELVO_X11_TICK_STATS=ON, which makes
# quelvo print its timer tick rates at exit; normal builds print nothing.
set -euo pipefail
cd "$(dirname "$0")/../.."
. bench/x11/xvfb.sh

seconds=${1:-20}
runs=${2:-3}
build=build/bench-x11
rain_from=5  # seconds after start: the banner is over and the rain falls

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUELVO_X11_TICK_STATS=ON >/dev/null
cmake --build "$build" --target quelvo quelvo_x11_probe >/dev/null
quelvo=$build/quelvo
probe=$build/bench/x11/quelvo_x11_probe
hz=$(getconf CLK_TCK)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# utime + stime of a process, in clock ticks.
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
gone() { [ ! -e "/proc/$1" ] || [ "$(awk '{ print $3 }' "/proc/$1/stat" 2>/dev/null)" = Z ]; }
percent() { awk -v d="$1" -v s="$2" -v hz="$hz" 'BEGIN { printf "%.2f", 100 * d / hz / s }'; }

results=()
for run in $(seq 1 "$runs"); do
  start_xvfb 1920x1080
  export DISPLAY=$xvfb_display

  log=$work/run$run.log
  read -r pid first_frame < <("$probe" first-frame "$log" -- "$quelvo" /s)
  start=$(date +%s.%N)
  q0=$(cpu_ticks "$pid"); x0=$(cpu_ticks "$xvfb")
  sleep "$rain_from"
  q1=$(cpu_ticks "$pid"); x1=$(cpu_ticks "$xvfb")
  sleep "$(awk -v s="$seconds" -v r="$rain_from" -v t0="$start" -v now="$(date +%s.%N)" \
    'BEGIN { w = s - (now - t0); print (w > 0 ? w : 0) }')"
  q2=$(cpu_ticks "$pid"); x2=$(cpu_ticks "$xvfb")
  hwm=$(awk '/VmHWM/ { print $2 }' "/proc/$pid/status")
  kill -TERM "$pid"
  for _ in $(seq 1 200); do gone "$pid" && break; sleep 0.01; done
  kill -TERM "$xvfb"; wait "$xvfb" 2>/dev/null || true

  ticks=$(awk '/^timer 1 ms:/ { print $(NF-1) }' "$log")
  rain_seconds=$((seconds - rain_from))
  line="$(percent $((q2 - q0)) "$seconds") $(percent $((x2 - x0)) "$seconds") \
$(percent $((q2 - q1)) "$rain_seconds") $(percent $((x2 - x1)) "$rain_seconds") \
$(awk -v k="$hwm" 'BEGIN { printf "%.1f", k / 1024 }') ${ticks:-0} $first_frame"
  results+=("$line")
  echo "run $run: quelvo ${line%% *}% ..." >&2
done

median() { printf '%s\n' "${results[@]}" | awk -v c="$1" '{ print $c }' | sort -g |
  awk '{ v[NR] = $1 } END { print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'; }

q_all=$(median 1); x_all=$(median 2); q_rain=$(median 3); x_rain=$(median 4)
rss=$(median 5); tps=$(median 6); ff=$(median 7)
per_tick=$(awk -v q="$q_all" -v x="$x_all" -v t="$tps" 'BEGIN { printf "%.3f", (q + x) / 100 * 1000 / t }')
verdict() { awk -v v="$1" -v lo="$2" -v hi="$3" 'BEGIN { print (v >= lo && v <= hi) ? "met" : "MISSED" }'; }

echo
echo "quelvo /s, Xvfb 1920x1080, ${seconds} s x ${runs} runs, medians:"
printf '  %-42s %10s   %s\n' \
  "Timer1 ticks per second (64 +- 3 %)" "$tps" "$(verdict "$tps" 62.08 65.92)" \
  "quelvo CPU, % of one core (<= 1)" "$q_all" "$(verdict "$q_all" 0 1)" \
  "Xvfb CPU, % of one core (<= 2)" "$x_all" "$(verdict "$x_all" 0 2)" \
  "quelvo + Xvfb CPU per tick, ms (<= 0.5)" "$per_tick" "$(verdict "$per_tick" 0 0.5)" \
  "  of which rain only: quelvo %" "$q_rain" "" \
  "  of which rain only: Xvfb %" "$x_rain" "" \
  "quelvo peak RSS, MB (<= 16)" "$rss" "$(verdict "$rss" 0 16)" \
  "first frame after start, ms (<= 150)" "$ff" "$(verdict "$ff" 0 150)"
