#!/usr/bin/env bash
# Installs what is missing, builds quelvo (native preset) and runs it on the current
# X display: full screen by default, or with the switch given (/c, /p <window>, ...).
#
#   scripts/run.sh [switch...]              run on $DISPLAY (default switch /s)
#   scripts/run.sh --screenshot FILE.png    no display needed: runs /s in its own Xvfb,
#                                           waits for the rain and saves the screen
set -euo pipefail
cd "$(dirname "$0")/.."

screenshot=""
if [ "${1:-}" = "--screenshot" ]; then
  screenshot=${2:?"--screenshot needs a file name"}
  shift 2
fi
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
exec {fd}<> <(:)
Xvfb -displayfd "$fd" -screen 0 1024x768x24 -nolisten tcp 2>/dev/null &
xvfb=$!
read -r -t 20 number <&"$fd"
exec {fd}>&-
export DISPLAY=":$number"
build/native/quelvo /s &
saver=$!
trap 'kill "$saver" "$xvfb" 2>/dev/null || true' EXIT
sleep 6  # 3 s of banner, then the rain fills the screen
build/native/tests/x11/quelvo_x11_probe screenshot "$screenshot"
kill -TERM "$saver"
wait "$saver"
echo "run.sh: wrote $screenshot"
