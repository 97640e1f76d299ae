#!/usr/bin/env bash
# Fuzzes the whole program on sim (preset fuzz: clang, libFuzzer, ASan, UBSan).
#
#   fuzz/run.sh [seconds]      fuzz for that long (default 600), in parallel jobs
#   fuzz/run.sh --ci           a bounded run: the seeds, then 2000 runs or 60 s
#
# New inputs go to build/fuzz/corpus (the seeds in fuzz/corpus stay as they are); a
# crash, leak or broken invariant is written to build/fuzz/findings and fails the run.
# Turn each finding into a unit test, then add it to fuzz/corpus.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz >/dev/null
fuzzer=build/fuzz/fuzz/quelvo_fuzz
mkdir -p build/fuzz/corpus build/fuzz/findings
options=(-timeout=10 -rss_limit_mb=2048 -artifact_prefix=build/fuzz/findings/ -print_final_stats=1)

if [ "${1:-}" = --ci ]; then
  exec "$fuzzer" "${options[@]}" -runs=2000 -max_total_time=60 build/fuzz/corpus fuzz/corpus
fi
seconds=${1:-600}
jobs=$(nproc)
"$fuzzer" "${options[@]}" -max_total_time="$seconds" -fork="$jobs" -ignore_crashes=0 \
  build/fuzz/corpus fuzz/corpus
