#!/usr/bin/env bash
# Runs one end-to-end check of Quelvo.scr under Wine, on an Xvfb display of its own.
#
# usage: run_wine_check.sh STATE_DIR WINDOWS_BUILD_DIR CHECK [ARGS...]
#   STATE_DIR          where the Wine prefix lives (created once, then reused)
#   WINDOWS_BUILD_DIR  holds Quelvo.scr and quelvo_wine_host.exe (the windows preset)
#   CHECK              a command of quelvo_wine_host.exe, "icons", or a shell script to
#                      source, given ARGS, once the display and the prefix are ready
#   The checks "monitors" and "covers" get a two-monitor Xorg instead of Xvfb.
# QUELVO_WINE_FRESH=1 makes the prefix anew for this run; QUELVO_WINE_LOGPIXELS sets the
# display's DPI in a prefix being made.
set -euo pipefail

state_dir=$1
windows_dir=$2
check=$3
shift 3

scr=$windows_dir/Quelvo.scr
host=$windows_dir/quelvo_wine_host.exe
for f in "$scr" "$host"; do
  [ -f "$f" ] || { echo "missing $f: build the windows preset first" >&2; exit 1; }
done

mkdir -p "$state_dir"
[ "${QUELVO_WINE_FRESH:-}" = 1 ] && rm -f "$state_dir/prefix/.quelvo-ready"
export WINEPREFIX=$state_dir/prefix
export WINEARCH=win64
export WINEDEBUG=-all
# No Mono or Gecko installer dialogs while the prefix is made.
export WINEDLLOVERRIDES="mscoree,mshtml=d"

# Polls a command until it succeeds or the deadline (seconds) passes.
poll() {
  local deadline=$(($(date +%s%N) + $1 * 1000000000))
  shift
  until "$@"; do
    [ "$(date +%s%N)" -lt "$deadline" ] || return 1
    sleep 0.1
  done
}

display_file=$state_dir/display.$$
xorg_dir=$state_dir/xorg.$$
if [ "$check" = monitors ] || [ "$check" = covers ]; then
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
  if [ ! -f "$WINEPREFIX/.quelvo-ready" ]; then
    rm -rf "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1
    # No window manager runs on the test display: Wine must not wait for one to
    # acknowledge that a window was unmapped (2 s on every full-screen window hidden).
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    if [ -n "${QUELVO_WINE_LOGPIXELS:-}" ]; then
      wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD \
        /d "$QUELVO_WINE_LOGPIXELS" /f >/dev/null 2>&1
    fi
    wineserver -w
    touch "$WINEPREFIX/.quelvo-ready"
  fi
) 9>"$state_dir/prefix.lock"

# Wine maps drive Z: to /.
windows_path() { printf 'Z:%s' "${1//\//\\}"; }

# The program's icon on the windows of both forms, as the display sees it: Wine hands
# WM_SETICON on to the X windows as _NET_WM_ICON.
check_icons() {
  wine "$scr" /C &
  local saver_pid=$!
  count_icons() {
    local n=0 w
    for w in $(xwininfo -root -children 2>/dev/null | awk '/^ +0x/ {print $1}'); do
      xprop -id "$w" _NET_WM_ICON 2>/dev/null | grep -q 'Icon (32 x 32)' && n=$((n + 1))
    done
    [ "$n" -ge 2 ]
  }
  local status=0
  if poll 15 count_icons; then
    echo "ok: the about box and the rain form windows carry a 32 x 32 icon"
  else
    echo "FAIL: fewer than two windows carry a 32 x 32 icon"
    status=1
  fi
  kill "$saver_pid" 2>/dev/null || true
  wait "$saver_pid" 2>/dev/null || true
  return $status
}

if [ "$check" = icons ]; then
  check_icons
elif [[ $check == *.sh ]]; then
  . "$check" "$@"
else
  wine "$host" "$check" "$(windows_path "$scr")" "$@"
fi
