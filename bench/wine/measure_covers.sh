#!/usr/bin/env bash
# Measures, under Wine on a two-monitor Xorg (scripts/two_monitor_xorg.sh, needs
# root), the time from CreateProcess of "Quelvo.scr /S" until both monitors are covered:
# the window under the centre of each monitor belongs to the saver. Median of RUNS runs.
# Build the windows preset first.
#
# usage: bench/wine/measure_covers.sh [RUNS]   (default 5)
set -euo pipefail
cd "$(dirname "$0")/../.."

runs=${1:-5}
windows_dir=$PWD/build/windows
[ -f "$windows_dir/Quelvo.scr" ] || { echo "missing Quelvo.scr: cmake --preset windows && cmake --build --preset windows" >&2; exit 1; }

times=()
for ((i = 1; i <= runs; i++)); do
  out=$(tests/wine/run_wine_check.sh "$windows_dir/wine-bench" "$windows_dir" covers)
  primary=$(awk '/^primary_covered_ms/ {print $2}' <<<"$out")
  other=$(awk '/^other_covered_ms/ {print $2}' <<<"$out")
  both=$(awk -v a="$primary" -v b="$other" 'BEGIN {print (a > b ? a : b)}')
  echo "run $i: primary covered after $primary ms, the other after $other ms"
  times+=("$both")
done
median=$(printf '%s\n' "${times[@]}" | sort -n | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}')
echo "both monitors covered, median of $runs runs: $median ms"
