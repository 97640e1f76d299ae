#!/usr/bin/env bash
# usage: xscreensaver_daemon.sh QUELVO, as root (Xorg, setpriv). xscreensaver on two monitors
# runs `quelvo --root` once per monitor: each must rain in the daemon's window on its
# monitor, and all must be gone within 1 s of the daemon's deactivation.
set -euo pipefail
[ "$(id -u)" = 0 ] || { echo "needs root for Xorg and setpriv"; exit 77; }
dir=$(mktemp -d)
daemon=""
cleanup() {
  [ -z "$daemon" ] || { kill "$daemon" && wait "$daemon"; } 2>/dev/null || true
  [ ! -s "$dir/x/pid" ] || kill "$(cat "$dir/x/pid")" 2>/dev/null || true
  rm -rf "$dir"
}
trap cleanup EXIT

"$(dirname "$0")/../../scripts/two_monitor_xorg.sh" "$dir/x"
export DISPLAY=$(cat "$dir/x/display")
# xscreensaver refuses to run savers as root. A copy of the binary, so that the daemon's
# user can run it whatever the build tree's permissions.
chmod 755 "$dir"
install -m 755 "$1" "$dir/quelvo"
install -d -o nobody -g nogroup "$dir/home"
# The daemon reaps its savers; a wrapper keeps each one's exit status for the end.
mkdir -m 777 "$dir/status"
cat >"$dir/saver" <<'WRAPPER'
#!/bin/bash
trap 'kill -TERM $child' TERM
"${0%/*}/quelvo" "$@" & child=$!
wait $child; status=$?
# A SIGTERM interrupts the wait: wait again for quelvo's own status.
[ $status -le 128 ] || { wait $child; status=$?; }
echo $status >"${0%/*}/status/$child"
WRAPPER
chmod 755 "$dir/saver"
printf '%s\n' "programs: $dir/saver --root" "mode: one" "selected: 0" "lock: False" \
  "fade: False" "unfade: False" "splash: False" >"$dir/home/.xscreensaver"
as_nobody() { setpriv --reuid=nobody --regid=nogroup --clear-groups env HOME="$dir/home" "$@"; }
as_nobody xscreensaver -no-splash >"$dir/daemon.log" 2>&1 &
daemon=$!
for _ in $(seq 100); do as_nobody xscreensaver-command -time >/dev/null 2>&1 && break; sleep 0.1; done
as_nobody xscreensaver-command -activate >/dev/null

for _ in $(seq 100); do [ "$(pgrep -fc "^$dir/quelvo")" = 2 ] && break; sleep 0.1; done
pids=$(pgrep -f "^$dir/quelvo")
[ "$(echo $pids | wc -w)" = 2 ] || { echo "savers: $pids"; cat "$dir/daemon.log"; exit 1; }

# Green in the window's top quarter: the rain, not the banner, which is in the middle.
rains() { xwd -silent -id "$1" | convert xwd:- -crop "100%x25%+0+0" -format '%[fx:mean.g > 0.002]' info:; }
places=""
for pid in $pids; do
  window=$(tr '\0' '\n' <"/proc/$pid/environ" | sed -n 's/^XSCREENSAVER_WINDOW=//p')
  places+=$(xwininfo -id "$window" | awk '/Absolute upper-left X/ { x = $NF }
    /Absolute upper-left Y/ { y = $NF } /Width/ { w = $NF } /Height/ { h = $NF }
    END { printf "%sx%s+%s+%s ", w, h, x, y }')
  for _ in $(seq 150); do [ "$(rains "$window")" = 1 ] && break; sleep 0.1; done
  [ "$(rains "$window")" = 1 ] || { echo "no rain in $window of saver $pid"; exit 1; }
done
[ "$(echo $places | tr ' ' '\n' | sort | xargs)" = "1024x768+1280+0 1280x1024+0+0" ] ||
  { echo "saver windows at: $places"; exit 1; }

started=$(date +%s%N)
as_nobody xscreensaver-command -deactivate >/dev/null
# A zombie has ended: its parent, the daemon's helper, may be gone before reaping it.
running() {
  for pid in $pids; do
    state=$(awk '{ print $3 }' "/proc/$pid/stat" 2>/dev/null || true)
    [ -z "$state" ] || [ "$state" = Z ] || return 0
  done
  return 1
}
while running && [ $(($(date +%s%N) - started)) -lt 1000000000 ]; do sleep 0.02; done
! running || { echo "savers still running 1 s after -deactivate"; exit 1; }
for _ in $(seq 50); do [ "$(ls "$dir/status" | wc -l)" = 2 ] && break; sleep 0.1; done
for pid in $pids; do
  status=$(cat "$dir/status/$pid" 2>/dev/null || echo none)
  [ "$status" = 0 ] || { echo "saver $pid ended with status $status"; exit 1; }
done
