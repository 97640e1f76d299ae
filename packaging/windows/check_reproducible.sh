#!/usr/bin/env bash
# usage: check_reproducible.sh WINDOWS_BUILD_DIR
# Links Quelvo.scr and makes the installer and the zip again, seconds after the first
# time, and compares the two byte for byte: nothing of the build's time may get in.
set -euo pipefail
cd "$1"
cmake --build . --target installer zip >/dev/null
files=(Quelvo.scr Quelvo-Setup-*.exe Quelvo-*-win64.zip)
first=$(mktemp -d)
trap 'rm -rf "$first"' EXIT
cp "${files[@]}" "$first"
sleep 2 # zip keeps times in 2 s steps
rm -f "${files[@]}"
cmake --build . --target installer zip >/dev/null
failures=0
for f in "${files[@]}"; do
  if cmp "$first/$f" "$f"; then echo "ok: $f is the same"; else
    echo "FAIL: $f differs"
    failures=$((failures + 1))
  fi
done
exit $failures
