#!/usr/bin/env bash
# Checks that the working tree paints the same pixels as an earlier commit: both
# builds of quelvo_x11_paint_bench drive `quelvo /s` by the same fixed steps on one
# Xvfb at 1920 x 1080 and write the picture after each step count; the pictures must
# be byte for byte the same.
#
#   bench/x11/same_pixels.sh [commit] [steps...]     (HEAD; 100 300 1000 1001)
#
# The earlier tree is the one compare.sh exports (build/bench-compare/<commit>); this
# script puts the current paint bench into it to build it there, so the commit must
# be one the bench builds on (one that has x11::SetCommandLine).
set -euo pipefail
cd "$(dirname "$0")/../.."
. bench/x11/xvfb.sh

commit=$(git rev-parse --short "${1:-HEAD}")
shift || true
steps=("$@")
[ ${#steps[@]} -gt 0 ] || steps=(100 300 1000 1001)

earlier=build/bench-compare/$commit
if [ ! -f "$earlier/CMakeLists.txt" ]; then
  mkdir -p "$earlier"
  git archive "$commit" | tar -x -C "$earlier"
fi
# Only the paint bench: the earlier tree may build the other bench tools elsewhere.
cp bench/x11/paint_bench.cmake bench/x11/paint_bench.cpp "$earlier/bench/x11/"
echo 'include(paint_bench.cmake)' >"$earlier/bench/x11/CMakeLists.txt"
(cd "$earlier" && cmake --preset native -DQUELVO_X11_TICK_STATS=ON >/dev/null &&
  cmake --build --preset native --target quelvo_x11_paint_bench >/dev/null)
cmake --preset native >/dev/null
cmake --build --preset native --target quelvo_x11_paint_bench >/dev/null

work=$(mktemp -d)
start_xvfb 1920x1080
trap 'kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
export DISPLAY=$xvfb_display

status=0
for n in "${steps[@]}"; do
  "$earlier/build/native/bench/x11/quelvo_x11_paint_bench" "$n" "$work/earlier.ppm" >/dev/null || true
  build/native/bench/x11/quelvo_x11_paint_bench "$n" "$work/current.ppm" >/dev/null
  if cmp -s "$work/earlier.ppm" "$work/current.ppm"; then
    echo "after $n steps: same pixels"
  else
    echo "after $n steps: pixels DIFFER"
    status=1
  fi
done
exit $status
