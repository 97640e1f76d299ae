#!/usr/bin/env bash
# CPU of a Wayland client and of a headless sway (pixman renderer, one 1920 x 1080 output)
# over the same stretch, and how often the client wakes; with --perf, a call-graph profile
# of both over that stretch (perf record: the client with DWARF stacks, as our build keeps
# no frame pointers), kept in DIR as client.data and sway.data for perf report.
#
#   bench/wayland/profile.sh [--perf DIR] [seconds] [client and its arguments...]
#       (20, build/native/quelvo /s)
#
# As root, sway and the client run as nobody with a runtime folder of their own. CPU from
# /proc/PID/schedstat; wakes from the client's voluntary context switches.
set -euo pipefail
cd "$(dirname "$0")/../.."

perf_dir=""
if [ "${1:-}" = --perf ]; then
  perf_dir=$(realpath "$2")
  mkdir -p "$perf_dir"
  shift 2
fi
seconds=${1:-20}
shift || true
client=("$@")
[ ${#client[@]} -gt 0 ] || client=("$PWD/build/native/quelvo" /s)

work=$(mktemp -d)
chmod 755 "$work"
as_user=()
if [ "$(id -u)" -eq 0 ]; then as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups); fi
cleanup() {
  [ -z "${app:-}" ] || kill -TERM "$app" 2>/dev/null || true
  [ -z "${sway:-}" ] || kill -TERM "$sway" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

mkdir -m 700 "$work/run" "$work/home"
[ ${#as_user[@]} -eq 0 ] || chown nobody:nogroup "$work/run" "$work/home"
echo "output HEADLESS-1 resolution 1920x1080 position 0 0" >"$work/home/config"
"${as_user[@]}" env -i PATH="$PATH" HOME="$work/home" XDG_RUNTIME_DIR="$work/run" \
  WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_HEADLESS_OUTPUTS=1 WLR_LIBINPUT_NO_DEVICES=1 \
  sway -c "$work/home/config" >"$work/sway.log" 2>&1 &
sway=$!
display=""
for _ in $(seq 1 100); do
  display=$(find "$work/run" -maxdepth 1 -type s -name 'wayland-*' -printf '%f\n' | head -1)
  [ -n "$display" ] && break
  sleep 0.1
done
[ -n "$display" ] || { echo "sway did not start" >&2; exit 1; }

"${as_user[@]}" env -i PATH="$PATH" XDG_RUNTIME_DIR="$work/run" WAYLAND_DISPLAY="$display" \
  "${client[@]}" >/dev/null 2>&1 &
app=$!
sleep 5  # past the banner

cpu_ns() { awk '{ print $1 }' "/proc/$1/schedstat"; }
wakes() { awk '/^voluntary_ctxt_switches/ { print $2 }' "/proc/$1/status"; }
a0=$(cpu_ns $app) s0=$(cpu_ns $sway) w0=$(wakes $app)
if [ -n "$perf_dir" ]; then
  perf record -q --call-graph dwarf -F 4999 -o "$perf_dir/client.data" -p "$app" \
    -- sleep "$seconds" 2>/dev/null &
  p1=$!
  perf record -q -g -o "$perf_dir/sway.data" -p "$sway" -- sleep "$seconds" 2>/dev/null &
  p2=$!
  wait $p1 $p2 || true
else
  sleep "$seconds"
fi
a1=$(cpu_ns $app) s1=$(cpu_ns $sway) w1=$(wakes $app)
kill -TERM "$app"
status=0
wait "$app" || status=$?
app=""
awk -v a=$((a1 - a0)) -v s=$((s1 - s0)) -v w=$((w1 - w0)) -v t="$seconds" \
  -v name="${client[*]}" -v st="$status" 'BEGIN {
  n = t * 64
  printf "%s: %d s, CPU ms (us per 1/64 s tick): client %.0f (%.0f), sway %.0f (%.0f), " \
    "total %.0f (%.0f); client wakes %.0f/s; exit %d\n",
    name, t, a / 1e6, a / n / 1e3, s / 1e6, s / n / 1e3, (a + s) / 1e6, (a + s) / n / 1e3, w / t, st }'
