#!/usr/bin/env bash
# usage: run_wine_check.sh STATE_DIR WINDOWS_BUILD_DIR CHECK [ARGS...]
# Runs CHECK (a command of quelvo_wine_host.exe, "icons", or a script to source) under Wine
# with the prefix in STATE_DIR, on an Xvfb of its own ("monitors", "covers": a two-monitor
# Xorg). QUELVO_WINE_FRESH=1 makes the prefix anew; QUELVO_WINE_LOGPIXELS sets its DPI;
# WINEDEBUG (default -all) passes through, for traces. Wine manages full-screen windows
# as it does by default, as on a user's desktop.
set -euo pipefail

state_dir=$1 scr=$2/Quelvo.scr host=$2/quelvo_wine_host.exe check=$3
shift 3
for f in "$scr" "$host"; do
  [ -f "$f" ] || { echo "missing $f: build the windows preset first" >&2; exit 1; }
done
mkdir -p "$state_dir"
[ "${QUELVO_WINE_FRESH:-}" = 1 ] && rm -f "$state_dir/prefix/.quelvo-prefix-ready"
# No Mono or Gecko installer dialogs while the prefix is made.
export WINEPREFIX=$state_dir/prefix WINEARCH=win64 WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml=d"

# poll SECONDS COMMAND...: until the command succeeds or the time is up.
poll() {
  local deadline=$(($(date +%s) + $1))
  shift
  until "$@"; do
    [ "$(date +%s)" -lt "$deadline" ] || return 1
    sleep 0.1
  done
}

display_file=$state_dir/display.$$
xorg_dir=$state_dir/xorg.$$
if [ "$check" = monitors ] || [ "$check" = covers ]; then
  [ "$(id -u)" = 0 ] || { echo "skipped: Xorg needs root"; exit 77; }
  "$(dirname "$0")/../../scripts/two_monitor_xorg.sh" "$xorg_dir" >/dev/null
  server_pid=$(cat "$xorg_dir/pid") && tr -d : <"$xorg_dir/display" >"$display_file"
else
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$display_file" 2>/dev/null &
  server_pid=$!
fi
cleanup() {
  # Everything in this prefix was started by this check; its server must not outlive
  # the display it was started on.
  wineserver -k 2>/dev/null || true
  kill "$server_pid" 2>/dev/null || true
  # Xorg is no child of ours: wait for it to be gone.
  wait "$server_pid" 2>/dev/null || poll 10 eval '! kill -0 "$server_pid" 2>/dev/null' || true
  rm -rf "$display_file" "$xorg_dir"
}
trap cleanup EXIT
poll 10 test -s "$display_file" || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=:$(head -n1 "$display_file")

# The prefix is made once and reused; checks that run at the same time wait for it.
(
  flock 9
  if [ ! -f "$WINEPREFIX/.quelvo-prefix-ready" ]; then
    rm -rf "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1
    if [ -n "${QUELVO_WINE_LOGPIXELS:-}" ]; then
      wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD \
        /d "$QUELVO_WINE_LOGPIXELS" /f >/dev/null 2>&1
    fi
    wineserver -w
    touch "$WINEPREFIX/.quelvo-prefix-ready"
  fi
) 9>"$state_dir/prefix.lock"


# The program's icon on the windows of both forms, as the display sees it: Wine hands
# WM_SETICON on to the X windows as _NET_WM_ICON.
two_icons() {
  [ "$(for w in $(xwininfo -root -children | awk '/^ +0x/ {print $1}'); do
    xprop -id "$w" _NET_WM_ICON; done 2>/dev/null | grep -c 'Icon (32 x 32)')" -ge 2 ]
}

if [ "$check" = icons ]; then
  wine "$scr" /C &
  poll 15 two_icons || { echo "FAIL: fewer than two windows carry a 32 x 32 icon"; exit 1; }
elif [[ $check == *.sh ]]; then
  . "$check" "$@"
else
  # Wine maps drive Z: to /.
  wine "$host" "$check" "Z:${scr//\//\\}" "$@"
fi
