#!/usr/bin/env bash
# Starts an X server with two monitors side by side, which Xvfb cannot show: Xorg with
# the dummy driver, primary DUMMY0 1280x1024 at (0, 0) and DUMMY1 1024x768 to its right.
# With Xorg's headers (xserver-xorg-dev) it also has DPMS, through xorg_dpms.c.
#
# usage: two_monitor_xorg.sh DIR
#   Writes DIR/display (":N") and DIR/pid once both monitors are up, then returns;
#   the caller ends the server with kill "$(cat DIR/pid)". Needs root (Xorg's wrapper).
set -euo pipefail

dir=$1
mkdir -p "$dir"
rm -f "$dir/display" "$dir/pid"

: >"$dir/xorg.conf"
if pkg-config --exists xorg-server; then
  mkdir -p "$dir/modules"
  # shellcheck disable=SC2046 # the flags are words
  cc -shared -fPIC -O2 -Wall -Wextra -Werror -fvisibility=hidden \
    $(pkg-config --cflags-only-I xorg-server | sed 's/-I/-isystem /g') \
    -o "$dir/modules/quelvodpms.so" "$(dirname "$0")/xorg_dpms.c"
  cat >"$dir/xorg.conf" <<CONF
Section "Files"
  ModulePath "$dir/modules,/usr/lib/xorg/modules"
EndSection
Section "Module"
  Load "quelvodpms"
EndSection
CONF
fi
cat >>"$dir/xorg.conf" <<'CONF'
Section "Device"
  Identifier "dummy"
  Driver "dummy"
  VideoRam 256000
EndSection
Section "Monitor"
  Identifier "monitor"
  HorizSync 5.0 - 1000.0
  VertRefresh 5.0 - 200.0
EndSection
Section "Screen"
  Identifier "screen"
  Device "dummy"
  Monitor "monitor"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Virtual 4096 2160
  EndSubSection
EndSection
CONF

exec 3>"$dir/displayfd"
# A seat other than seat0 keeps Xorg off the virtual terminals (no VT taken or switched to,
# none of the workstation's input devices); -novtswitch in case a server still takes one.
Xorg -displayfd 3 -config "$dir/xorg.conf" -noreset -nolisten tcp -logfile "$dir/xorg.log" \
  -seat seat-quelvo-test -novtswitch >/dev/null 2>&1 </dev/null &
pid=$!
exec 3>&-

for _ in $(seq 100); do
  [ -s "$dir/displayfd" ] && break
  kill -0 "$pid" 2>/dev/null || { echo "Xorg did not start (see $dir/xorg.log)" >&2; exit 1; }
  sleep 0.1
done
[ -s "$dir/displayfd" ] || { kill "$pid"; echo "Xorg gave no display" >&2; exit 1; }
display=:$(head -n1 "$dir/displayfd")

export DISPLAY=$display
xrandr --addmode DUMMY1 1024x768
xrandr --output DUMMY0 --mode 1280x1024 --primary --output DUMMY1 --mode 1024x768 --right-of DUMMY0
# The server takes a moment to report the new layout to every client.
for _ in $(seq 50); do
  [ "$(xrandr --listmonitors | head -n1)" = "Monitors: 2" ] && break
  sleep 0.1
done
sleep 0.5

echo "$display" >"$dir/display"
echo "$pid" >"$dir/pid"
