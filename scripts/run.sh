#!/usr/bin/env bash
# Installs what is missing, builds quelvo (native preset) and runs it on the current
# X display: full screen by default, or with the switch given (/c, /p <window>, ...).
#
#   scripts/run.sh [switch...]              run on $DISPLAY (default switch /s)
#   scripts/run.sh --screenshot FILE.png    no display needed: runs /s in its own Xvfb,
#                                           waits for the rain and saves the screen
#   scripts/run.sh --record FILE.gif        the same, but records 3 s of rain at 640 x 480
#                                           as an animated picture (ImageMagick)
set -euo pipefail
cd "$(dirname "$0")/.."

screenshot=""
record=""
case "${1:-}" in
  --screenshot) screenshot=${2:?"--screenshot needs a file name"} && shift 2 ;;
  --record) record=${2:?"--record needs a file name"} && screenshot=$record && shift 2 ;;
esac
if [ -z "$screenshot" ] && [ -z "${DISPLAY:-}" ]; then
  echo "run.sh: no X display (DISPLAY is not set); try: xvfb-run -s '-screen 0 1024x768x24' scripts/run.sh, or scripts/run.sh --screenshot rain.png" >&2
  exit 1
fi

scripts/install-deps.sh
cmake --preset native >/dev/null
cmake --build --preset native --target quelvo quelvo_x11_probe

if [ -z "$screenshot" ]; then
  [ $# -gt 0 ] || set -- /s
  exec build/native/quelvo "$@"
fi

# A private server on a free display: the saver, the rain, one picture, then both end.
size=1024x768
[ -z "$record" ] || size=640x480
exec {fd}<> <(:)
Xvfb -displayfd "$fd" -screen 0 "${size}x24" -nolisten tcp 2>/dev/null &
xvfb=$!
read -r -t 20 number <&"$fd"
exec {fd}>&-
export DISPLAY=":$number"
build/native/quelvo /s &
saver=$!
trap 'kill "$saver" "$xvfb" 2>/dev/null || true' EXIT
sleep 6  # 3 s of banner, then the rain fills the screen
if [ -z "$record" ]; then
  build/native/bench/x11/quelvo_x11_probe screenshot "$screenshot"
else
  # 36 frames 1/12 s apart; each frame keeps only what changed since the one before.
  frames=$(mktemp -d)
  for i in $(seq -w 36); do
    xwd -root -silent >"$frames/$i.xwd"
    sleep 0.083
  done
  convert -delay 8 -loop 0 "$frames"/*.xwd -colors 16 -layers Optimize "$record"
  rm -rf "$frames"
fi
kill -TERM "$saver"
wait "$saver"
echo "run.sh: wrote $screenshot"
