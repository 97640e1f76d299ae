#!/usr/bin/env bash
# Checks that the client-side renderer draws what the X11 platform draws: after the
# same fixed steps of `quelvo /s` at 1920 x 1080 and 96 DPI, the X11 paint bench's
# picture (under Xvfb) against the renderer's on the sim display. Prints, for each step
# count, whether they are the same byte for byte, else how many pixels differ and by
# how much at most.
#
#   bench/raster/same_look.sh [steps...]     (100 1000 2000)
set -euo pipefail
cd "$(dirname "$0")/../.."
. bench/x11/xvfb.sh

steps=("$@")
[ ${#steps[@]} -gt 0 ] || steps=(100 1000 2000)
cmake --preset native >/dev/null
cmake --build --preset native --target quelvo_x11_paint_bench quelvo_raster_compose_bench >/dev/null

work=$(mktemp -d)
start_xvfb 1920x1080
trap 'kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT

status=0
for n in "${steps[@]}"; do
  DISPLAY=$xvfb_display build/native/bench/x11/quelvo_x11_paint_bench "$n" "$work/x11.ppm" \
    >/dev/null || true
  build/native/bench/raster/quelvo_raster_compose_bench "$n" "$work/raster.ppm" >/dev/null
  if cmp -s "$work/x11.ppm" "$work/raster.ppm"; then
    echo "after $n steps: same pixels"
  else
    python3 - "$work/x11.ppm" "$work/raster.ppm" "$n" <<'PY'
import sys
a, b = (open(p, 'rb').read() for p in sys.argv[1:3])
if len(a) != len(b):
    print(f"after {sys.argv[3]} steps: pictures of different sizes"); sys.exit()
diff = [abs(x - y) for x, y in zip(a, b) if x != y]
print(f"after {sys.argv[3]} steps: {len(diff)} channel values DIFFER, by {max(diff)} at most")
PY
    status=1
  fi
done
exit $status
