#!/usr/bin/env bash
# How fast an embedded quelvo ends when its daemon sends SIGTERM (the target is 100 ms):
# `quelvo --root` in a private Xvfb, rain for 2 s, then SIGTERM; the time until the
# process is gone and its exit status, for each run, then the median and the worst.
#
#   bench/x11/embedded_end.sh [runs]     after: cmake --build --preset native
set -euo pipefail
cd "$(dirname "$0")/../.."
. bench/x11/xvfb.sh
runs=${1:-10}

start_xvfb 1024x768
trap 'kill "$xvfb" 2>/dev/null || true' EXIT
export DISPLAY=$xvfb_display

times=()
for run in $(seq "$runs"); do
  build/native/quelvo --root &
  saver=$!
  sleep 2
  started=$(date +%s%N)
  kill -TERM "$saver"
  status=0
  wait "$saver" || status=$?
  ms=$(( ($(date +%s%N) - started) / 1000 ))
  times+=("$ms")
  printf 'run %d: %d.%03d ms, status %d\n' "$run" $((ms / 1000)) $((ms % 1000)) "$status"
done
printf '%s\n' "${times[@]}" | sort -n | awk '{ t[NR] = $1 } END {
  printf "median %.3f ms, worst %.3f ms over %d runs\n", t[int((NR + 1) / 2)] / 1000, t[NR] / 1000, NR }'
