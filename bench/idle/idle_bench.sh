#!/usr/bin/env bash
# usage: idle_bench.sh xvfb|sway [SECONDS]   (build/native built; sway runs as nobody)
# quelvo-idle waiting on a display of its own: its voluntary context switches over SECONDS
# (300 by default) with no input, its own (RssAnon) and resident (VmRSS) memory, then the
# time from the idle event reaching it (its epoll_wait returning) to quelvo's execve, from
# strace's clock (strace slows both ends alike; the figure is an upper bound).
set -euo pipefail
kind=$1 seconds=${2:-300}
build=$(cd "$(dirname "$0")/../../build/native" && pwd)
dir=$(mktemp -d /tmp/quelvo-idle-bench.XXXXXX)
chmod 755 "$dir" && mkdir -m 1777 "$dir/out"  # for the trace, written as nobody on sway
trap 'kill $(jobs -p) 2>/dev/null; wait 2>/dev/null; [ -n "${KEEP:-}" ] || rm -rf "$dir"' EXIT
run=()
if [ "$kind" = xvfb ]; then
  display=:$((100 + RANDOM % 100))
  Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
  export DISPLAY=$display
  run=(env -u WAYLAND_DISPLAY)
else
  mkdir -m 700 "$dir/run" && chown nobody:nogroup "$dir/run"
  run=(setpriv --reuid=nobody --regid=nogroup --clear-groups env -u DISPLAY -C "$dir"
       XDG_RUNTIME_DIR="$dir/run" WAYLAND_DISPLAY=wayland-1)
  "${run[@]}" WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
    sway -c /dev/null >/dev/null 2>&1 &
fi
sleep 3
[ "$kind" = xvfb ] || "${run[@]}" wtype x  # the seat gets a keyboard, as a desktop's has

status() { awk -v k="$2:" '$1 == k { print $2 }' "/proc/$1/status"; }
"${run[@]}" "$build/quelvo-idle" --after 1h --config /dev/null 2>"$dir/log" &
sleep 2
pid=$(pgrep -P $! -x quelvo-idle || echo $!)  # under setpriv/env it is exec'd: the same pid
before=$(status "$pid" voluntary_ctxt_switches)
sleep "$seconds"
after=$(status "$pid" voluntary_ctxt_switches)
echo "$kind: $((after - before)) voluntary context switches in ${seconds}s waiting;" \
     "RssAnon $(status "$pid" RssAnon) kB, VmRSS $(status "$pid" VmRSS) kB"
kill "$pid"

"${run[@]}" strace -f -ttt -T -e trace=epoll_wait,execve -o "$dir/out/trace" \
  "$build/quelvo-idle" --after 2s --config /dev/null 2>>"$dir/log" &
sleep 6
# The last return from epoll_wait of quelvo-idle before the saver's execve is the idle event.
awk '/execve\(".*\/quelvo", .*"\/s"\]/ { printf "%.6f %.6f\n", wake, $2; exit }
     /epoll_wait.*= [1-9]/ {  # stamped at entry unless resumed; -T gives the time inside
       wake = $2; if (!/resumed>/ && match($0, /<[0-9.]+>$/)) wake += substr($0, RSTART + 1) }' \
  "$dir/out/trace" |
  awk '{ printf "'"$kind"': idle event to quelvo execve: %.1f ms\n", ($2 - $1) * 1000 }'
