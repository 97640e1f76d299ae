#!/usr/bin/env bash
# Measures Quelvo.scr: its file size, and under Wine on Xvfb the time from starting
# "Quelvo.scr /S" to its first painted frame (the green banner read back from the
# screen by the test host), over several runs. Build the windows preset first.
#
# usage: bench/wine/measure_scr.sh [RUNS]   (default 5)
set -euo pipefail
cd "$(dirname "$0")/../.."

runs=${1:-5}
windows_dir=$PWD/build/windows
scr=$windows_dir/Quelvo.scr
[ -f "$scr" ] || { echo "missing $scr: cmake --preset windows && cmake --build --preset windows" >&2; exit 1; }

size=$(stat -c %s "$scr")
echo "Quelvo.scr: $size bytes ($((size / 1024)) KiB; limit 1 MiB)"

times=()
for ((i = 1; i <= runs; i++)); do
  out=$(tests/wine/run_wine_check.sh "$windows_dir/wine-bench" "$windows_dir" first-frame)
  shown=$(awk '/^window_shown_ms/ {print $2}' <<<"$out")
  frame=$(awk '/^first_frame_ms/ {print $2}' <<<"$out")
  echo "run $i: window shown after $shown ms, first frame after $frame ms"
  times+=("$frame")
done
median=$(printf '%s\n' "${times[@]}" | sort -n | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}')
echo "first frame, median of $runs runs: $median ms"
