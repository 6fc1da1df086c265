#!/usr/bin/env bash
# Builds vorn for Windows and runs the benchmarks that drive it under Wine on a
# private Xvfb display with openbox, each against a bare program doing the same
# thing in the same run:
#   list_refresh_bench  key press to refreshed folder list, 20,000 entries
#                       (goal: median at most 16 ms; the ratio to a bare
#                       virtual list view of the same size is printed)
#   hotkey_bench        hot key to the box in front (goal: tray=2 within 1.3
#                       times a bare hot-key box, tray=1 within 2.0 times)
# The folder of 20,000 entries is made in the Wine prefix on the first run and
# kept. Not part of scripts/test.sh.
#
#   scripts/bench-wine.sh [win64|win32]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
preset=${1:-win64}
jobs=$(nproc 2>/dev/null || echo 2)

cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j "$jobs" --target list_refresh_bench hotkey_bench

source scripts/wine-env.sh "$root/build/$preset" private
trap vorn_env_stop EXIT
status=0
for bench in list_refresh_bench hotkey_bench; do
  echo "=== $bench ($preset) ==="
  scripts/wine "$root/build/$preset/$bench.exe" || status=1
done
exit $status
