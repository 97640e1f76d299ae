#!/usr/bin/env bash
# Soak run: `quelvo /s` under Xvfb at 1920 x 1080 for a long time (10 minutes unless
# told otherwise). At the start (once the banner is over) and at the end it records
# quelvo's resident memory, its open file descriptors and the X resources it holds, as
# the X-Resource extension reports them (xrestop); anything that grows is a leak.
#
#   bench/x11/soak.sh [minutes]
#
# Uses build/native/quelvo (built if missing).
set -euo pipefail
cd "$(dirname "$0")/../.."
. bench/x11/xvfb.sh

minutes=${1:-10}
settle=5  # seconds: the banner is over and the rain falls
quelvo=build/native/quelvo
[ -x "$quelvo" ] || { cmake --preset native >/dev/null && cmake --build --preset native --target quelvo >/dev/null; }

start_xvfb 1920x1080
export DISPLAY=$xvfb_display

"$quelvo" /s &
pid=$!
cleanup() {
  kill -TERM "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  kill -TERM "$xvfb" 2>/dev/null || true
  wait "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT

# One line: RSS in KiB, open fds, then xrestop's counters for quelvo's client.
sample() {
  local rss fds
  rss=$(awk '/VmRSS/ { print $2 }' "/proc/$pid/status")
  fds=$(find "/proc/$pid/fd" -mindepth 1 -maxdepth 1 | wc -l)
  xrestop -b -m 1 | awk -v pid="$pid" -v rss="$rss" -v fds="$fds" '
    /PID:/ { mine = ($0 ~ "PID: *" pid " *\\)") }
    mine && /:/ && !/PID:/ {
      key = $0; sub(/^[ \t]*/, "", key); sub(/[ \t]*:.*/, "", key)
      value = $0; sub(/.*: */, "", value); sub(/^~/, "", value)
      if (key != "res_base" && key != "res_mask") x[key] = value
    }
    END {
      printf "rss_kib=%s fds=%s windows=%s gcs=%s fonts=%s pixmaps=%s pictures=%s " \
             "glyphsets=%s cursors=%s unknowns=%s pixmap_bytes=%s other_bytes=%s\n",
             rss, fds, x["windows"], x["GCs"], x["fonts"], x["pixmaps"], x["pictures"],
             x["glyphsets"], x["cursors"], x["unknowns"], x["pixmap bytes"], x["other bytes"]
    }'
}

sleep "$settle"
start=$(sample)
echo "start ($(date -u +%T)): $start"
sleep $((minutes * 60))
kill -0 "$pid" 2>/dev/null || { echo "quelvo ended early" >&2; exit 1; }
end=$(sample)
echo "end   ($(date -u +%T)): $end"

# Every figure but RSS must be the same; RSS may move by a page or two.
flat=yes
for field in $start; do
  key=${field%%=*}
  a=${field#*=}
  b=$(tr ' ' '\n' <<<"$end" | awk -F= -v k="$key" '$1 == k { print $2 }')
  if [ "$key" = rss_kib ]; then
    [ $((b - a)) -le 256 ] || flat=no
  elif [ "$a" != "$b" ]; then
    flat=no
  fi
done
echo "after $minutes min: $([ $flat = yes ] && echo flat || echo GROWING)"
[ $flat = yes ]
