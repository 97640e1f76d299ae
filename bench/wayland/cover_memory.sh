#!/usr/bin/env bash
# The memory `quelvo /s` holds on a headless sway (pixman renderer) with two outputs of
# 3840 x 2160: its resident set (VmRSS) and the shared memory in it (RssShmem) once the
# rain runs, then after a third output is added, after the second changes mode and scale,
# and after the rain's output changes mode. The rain's own buffers are 33 MB each (sway's
# pixman renderer holds the last one until the next commit, so there are two); covers
# should add next to nothing, and buffers of an old size go at once.
#
#   bench/wayland/cover_memory.sh [build-dir]      (build/native, with quelvo built)
#
# sway refuses to run as root: as root, it and quelvo run as nobody, with a runtime folder
# of their own.
set -euo pipefail
cd "$(dirname "$0")/../.."
quelvo=$PWD/${1:-build/native}/quelvo
[ -x "$quelvo" ] || { echo "no $quelvo: build it first" >&2; exit 2; }

work=$(mktemp -d)
chmod 755 "$work"
mkdir -m 700 "$work/run"
as_user=()
if [ "$(id -u)" -eq 0 ]; then
  as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
  chown nobody:nogroup "$work/run"
fi
cleanup() {
  kill -TERM ${saver:-} ${sway:-} 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

cat >"$work/sway.conf" <<CONF
output HEADLESS-1 resolution 3840x2160 position 0 0
output HEADLESS-2 resolution 3840x2160 position 3840 0
CONF
env=(env XDG_RUNTIME_DIR="$work/run" SWAYSOCK="$work/run/ipc.sock")
"${as_user[@]}" "${env[@]}" WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_HEADLESS_OUTPUTS=2 \
  WLR_LIBINPUT_NO_DEVICES=1 sway -c "$work/sway.conf" >/dev/null 2>&1 &
sway=$!
for _ in $(seq 1 100); do
  [ -S "$work/run/wayland-1" ] && [ -S "$work/run/ipc.sock" ] && break
  sleep 0.1
done
[ -S "$work/run/wayland-1" ] || { echo "sway did not start" >&2; exit 1; }
client=("${as_user[@]}" "${env[@]}" WAYLAND_DISPLAY=wayland-1)

report() {
  local rss shmem
  rss=$(awk '/^VmRSS:/ { print $2 }' "/proc/$saver/status")
  shmem=$(awk '/^RssShmem:/ { print $2 }' "/proc/$saver/status")
  awk -v what="$1" -v rss="$rss" -v shmem="$shmem" \
    'BEGIN { printf "%-36s RSS %6.1f MB   shared memory %6.1f MB\n", what, rss / 1024, shmem / 1024 }'
}

"${client[@]}" "$quelvo" /s &
saver=$!
sleep 6  # the banner, then rain
report "two 3840x2160 outputs, rain"
"${client[@]}" swaymsg create_output >/dev/null
"${client[@]}" swaymsg output HEADLESS-3 resolution 3840x2160 >/dev/null
sleep 2
report "a third output"
"${client[@]}" swaymsg output HEADLESS-2 resolution 1920x1080 scale 2 >/dev/null
sleep 2
report "second output: mode and scale"
"${client[@]}" swaymsg output HEADLESS-1 resolution 1920x1080 >/dev/null
sleep 2
report "rain's output: 1920x1080"
