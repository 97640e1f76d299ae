#!/usr/bin/env bash
# What a tick of rain costs on Wayland against X11, in one run: each round starts a headless
# sway (pixman renderer, one output of 1920 x 1080) and an Xvfb of that size, runs `quelvo /s`
# on both at once and measures the CPU time of each quelvo and of its display server over the
# same stretch of rain; then, the same way, each system's floor: a client that only wakes 64
# times a second and commits (Wayland) or copies (X11) one damaged area of 17 x 67; and, for
# comparison, the same clients with as many areas as the rain damages per tick (48).
# Prints each round, then the medians of client, server and total CPU per tick.
#
#   bench/wayland/versus_x11.sh [seconds-per-run] [rounds]     (20 3)
#
# sway refuses to run as root: as root, it and its clients run as nobody, with a runtime
# folder of their own. CPU times come from /proc/PID/schedstat; S seconds count S x 64 ticks.
set -euo pipefail
cd "$(dirname "$0")/../.."
. bench/x11/xvfb.sh

seconds=${1:-20}
rounds=${2:-3}
build=build/bench-x11
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target quelvo quelvo_x11_floor_client quelvo_wayland_floor_client >/dev/null
quelvo=$PWD/$build/quelvo
x11_floor=$PWD/$build/bench/x11/quelvo_x11_floor_client
wayland_floor=$PWD/$build/bench/wayland/quelvo_wayland_floor_client

work=$(mktemp -d)
chmod 755 "$work"
as_user=()
if [ "$(id -u)" -eq 0 ]; then
  as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
cleanup() {
  kill -TERM ${sway:-} ${xvfb:-} 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

start_sway() {
  rm -rf "$work/run" && mkdir -m 700 "$work/run"
  [ ${#as_user[@]} -eq 0 ] || chown nobody:nogroup "$work/run"
  echo "output HEADLESS-1 resolution 1920x1080 position 0 0" >"$work/sway.conf"
  "${as_user[@]}" env XDG_RUNTIME_DIR="$work/run" WLR_BACKENDS=headless WLR_RENDERER=pixman \
    WLR_HEADLESS_OUTPUTS=1 WLR_LIBINPUT_NO_DEVICES=1 sway -c "$work/sway.conf" >/dev/null 2>&1 &
  sway=$!
  for _ in $(seq 1 100); do
    wayland_display=$(find "$work/run" -maxdepth 1 -type s -name 'wayland-*' -printf '%f\n')
    [ -n "$wayland_display" ] && return
    sleep 0.1
  done
  echo "sway did not start" >&2
  exit 1
}

cpu_ns() { awk '{ print $1 }' "/proc/$1/schedstat"; }

# Runs a Wayland client and an X11 client at once; prints "client server total" per tick
# for each, Wayland first.
measure() {
  local settle=$1 wl_client=$2 x_client=$3
  "${as_user[@]}" env -u DISPLAY XDG_RUNTIME_DIR="$work/run" WAYLAND_DISPLAY="$wayland_display" \
    $wl_client >/dev/null 2>&1 &
  local wl=$!
  env -u WAYLAND_DISPLAY DISPLAY="$xvfb_display" $x_client >/dev/null 2>&1 &
  local x=$!
  sleep "$settle"
  local a0 b0 c0 d0 a1 b1 c1 d1
  a0=$(cpu_ns $wl) b0=$(cpu_ns $sway) c0=$(cpu_ns $x) d0=$(cpu_ns $xvfb)
  sleep "$seconds"
  a1=$(cpu_ns $wl) b1=$(cpu_ns $sway) c1=$(cpu_ns $x) d1=$(cpu_ns $xvfb)
  kill -TERM $wl $x
  wait $wl $x 2>/dev/null || true
  awk -v a=$((a1 - a0)) -v b=$((b1 - b0)) -v c=$((c1 - c0)) -v d=$((d1 - d0)) \
    -v ticks=$((seconds * 64)) 'BEGIN {
    printf "%.1f %.1f %.1f %.1f %.1f %.1f\n", a / ticks / 1000, b / ticks / 1000,
      (a + b) / ticks / 1000, c / ticks / 1000, d / ticks / 1000, (c + d) / ticks / 1000 }'
}

saver_runs=""
floor_runs=""
areas_runs=""
for round in $(seq 1 "$rounds"); do
  start_sway
  start_xvfb 1920x1080
  saver=$(measure 5 "$quelvo /s" "$quelvo /s") # 5 s: the banner is over
  floor=$(measure 2 "$wayland_floor 1 17 67" "$x11_floor 1 17 67")
  areas=$(measure 2 "$wayland_floor 48 17 67" "$x11_floor 48 17 67")
  kill -TERM $sway $xvfb
  wait $sway $xvfb 2>/dev/null || true
  saver_runs+="$saver"$'\n'
  floor_runs+="$floor"$'\n'
  areas_runs+="$areas"$'\n'
  echo "round $round: us per tick, client/server/total: quelvo wayland ${saver% * * *}," \
    "x11 ${saver#* * * }; floor wayland ${floor% * * *}, x11 ${floor#* * * };" \
    "48 areas wayland ${areas% * * *}, x11 ${areas#* * * }" >&2
done

median() { # median of field $1 of the lines in $2
  printf '%s' "$2" | awk -v f="$1" 'NF { print $f }' | sort -g |
    awk '{ v[NR] = $1 } END { print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'
}

echo
echo "1920x1080, ${seconds} s x ${rounds} rounds, medians, us of CPU per 1/64 s tick:"
printf '  %-34s %10s %10s %10s\n' "" client server total
printf '  %-34s %10s %10s %10s\n' "quelvo /s on sway (pixman)" "$(median 1 "$saver_runs")" \
  "$(median 2 "$saver_runs")" "$(median 3 "$saver_runs")"
printf '  %-34s %10s %10s %10s\n' "floor on sway" "$(median 1 "$floor_runs")" \
  "$(median 2 "$floor_runs")" "$(median 3 "$floor_runs")"
printf '  %-34s %10s %10s %10s\n' "48 areas on sway" "$(median 1 "$areas_runs")" \
  "$(median 2 "$areas_runs")" "$(median 3 "$areas_runs")"
printf '  %-34s %10s %10s %10s\n' "quelvo /s on Xvfb" "$(median 4 "$saver_runs")" \
  "$(median 5 "$saver_runs")" "$(median 6 "$saver_runs")"
printf '  %-34s %10s %10s %10s\n' "floor on Xvfb" "$(median 4 "$floor_runs")" \
  "$(median 5 "$floor_runs")" "$(median 6 "$floor_runs")"
printf '  %-34s %10s %10s %10s\n' "48 areas on Xvfb" "$(median 4 "$areas_runs")" \
  "$(median 5 "$areas_runs")" "$(median 6 "$areas_runs")"
awk -v wt="$(median 3 "$saver_runs")" -v xt="$(median 6 "$saver_runs")" \
  -v wq="$(median 1 "$saver_runs")" -v wf="$(median 1 "$floor_runs")" 'BEGIN {
  printf "  Wayland total / X11 total: %.2f (goal <= 1: %s)\n", wt / xt, wt <= xt ? "met" : "MISSED"
  printf "  quelvo on sway / its floor: %.2f (goal <= 2: %s)\n", wq / wf, wq <= 2 * wf ? "met" : "MISSED" }'
