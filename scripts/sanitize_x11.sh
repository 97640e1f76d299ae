#!/usr/bin/env bash
# The x11 and wayland end-to-end tests against quelvo built with AddressSanitizer, UBSan
# and LeakSanitizer (preset asan). Every sanitizer report goes to a file, whichever
# process wrote it and however the test ended it; any report fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset asan >/dev/null
cmake --build --preset asan --target quelvo quelvo_x11_tests quelvo_wayland_tests \
  quelvo-idle quelvo_idle_unit_tests quelvo_idle_tests
# Reports go where every sanitized process can write, those the xscreensaver and the
# Wayland tests run as nobody included; the daemon test judges its savers' exit statuses.
logs=$(mktemp -d /tmp/quelvo-sanitizer-logs.XXXXXX)
chmod 1777 "$logs"
# Unsymbolized: symbolizing at every exit costs the tests' time limits half a second
# (the reports name module+offset; rerun one with symbolize=1 to read it).
export ASAN_OPTIONS="detect_leaks=1:symbolize=0:log_path=$logs/asan"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:log_path=$logs/ubsan"
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"

status=0
# The package tests are left out: a package of a sanitized build is not one anybody ships.
ctest --test-dir build/asan -L 'x11|wayland|idle' -E '^package_' --output-on-failure "$@" || status=$?
if compgen -G "$logs/*" >/dev/null; then
  cat "$logs"/*
  echo "sanitizer reports: $(ls "$logs" | wc -l), kept in $logs" >&2
  status=1
else
  rmdir "$logs"
fi
exit "$status"
