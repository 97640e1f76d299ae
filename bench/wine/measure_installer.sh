#!/usr/bin/env bash
# Measures Quelvo-Setup-<version>.exe: its size, and under Wine on Xvfb the time of a
# silent install (`wine Quelvo-Setup-<version>.exe /S`, start to exit, Wine already
# running) into a prefix where Quelvo is not installed, over several runs; each run is
# undone by the silent uninstaller before the next. For scale, the same for a program that
# does nothing (the test host's spi-get): Wine's own cost of starting a program.
# Build the windows preset first.
#
# usage: bench/wine/measure_installer.sh [RUNS]   (default 5)
set -euo pipefail

median() { printf '%s\n' "$@" | sort -n | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }

# Sourced by run_wine_check.sh, with the display and the prefix ready.
measure_installs() {
  local setup=$1 runs=$2 times=() idle=() start ms
  local installed=$WINEPREFIX/drive_c/Program\ Files/Quelvo
  # A server that stays up between runs, so no run pays for starting Wine.
  wineserver -p
  wine reg query 'HKCU\Control Panel\Desktop' >/dev/null
  for ((i = 1; i <= runs; i++)); do
    start=$(date +%s%N)
    wine "$setup" /S
    ms=$((($(date +%s%N) - start) / 1000000))
    [ -f "$installed/Uninstall.exe" ] || { echo "run $i: nothing installed" >&2; return 1; }
    echo "run $i: silent install $ms ms"
    times+=("$ms")
    start=$(date +%s%N)
    wine "$host" spi-get || true
    idle+=($((($(date +%s%N) - start) / 1000000)))
    wine "$installed/Uninstall.exe" /S
    poll 30 test ! -e "$installed" || { echo "run $i: the uninstall did not finish" >&2; return 1; }
  done
  echo "silent install, median of $runs runs: $(median "${times[@]}") ms" \
    "(a program that does nothing: $(median "${idle[@]}") ms)"
}

if [ "${1:-}" = --in-prefix ]; then
  measure_installs "$2" "$3"
  return
fi

cd "$(dirname "$0")/../.."
runs=${1:-5}
windows_dir=$PWD/build/windows
setup=$(ls "$windows_dir"/Quelvo-Setup-*.exe 2>/dev/null | head -n1)
[ -n "$setup" ] || { echo "no installer in $windows_dir: cmake --build --preset windows" >&2; exit 1; }
size=$(stat -c %s "$setup")
echo "$(basename "$setup"): $size bytes ($((size / 1024)) KiB)"
tests/wine/run_wine_check.sh "$windows_dir/wine-bench-installer" "$windows_dir" \
  "$PWD/bench/wine/measure_installer.sh" --in-prefix "$setup" "$runs"
