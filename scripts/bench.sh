#!/usr/bin/env bash
# Every benchmark, built and run in one step. Each prints its figures as ratios
# to a baseline measured in the same run (so they mean something on any
# machine) and says whether its goal holds; the script's exit code is 1 when
# any goal is missed. Not part of scripts/test.sh: speed is never a test.
#
#   scripts/bench.sh [native|wine|all] [win64|win32]
#
# native (optimised, this machine):
#   filter_bench    folder filter over 100,000 names against a plain substring scan
#   migemo_bench    romaji pass over 10,000 names against the plain pass; a key
#                   that makes the term new (C/Migemo's expansion + the pass)
#   spi_bench       a 12-megapixel JPEG and PNG through the plug-ins' decoding
#                   against libjpeg-turbo and Pillow (goal: at most 1.2 times)
# wine (the Windows build under Wine, private Xvfb display with openbox):
#   list_refresh_bench  key press to refreshed folder list, 20,000 entries,
#                       against a bare virtual list view
#   hotkey_bench        hot key to the box in front, against a bare hot-key box
#   spi_wine_bench      GetPicture of the shipped DLLs against the libraries
#   search_walk_bench   the file search walk against cmd /c dir /s /b
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
what=${1:-all}
if /usr/lib/wine/wine --version >/dev/null 2>&1; then default=win32; else default=win64; fi
preset=${2:-$default}
jobs=$(nproc 2>/dev/null || echo 2)
status=0
pictures=$(mktemp -d "${TMPDIR:-/tmp}/vorn-bench.XXXXXX")
trap 'rm -rf "$pictures"' EXIT

bash scripts/setup.sh >/dev/null || exit 1

if [ "$what" = native ] || [ "$what" = all ]; then
  cmake --preset bench >/dev/null && cmake --build --preset bench -j "$jobs" || exit 1
  echo "=== filter_bench ==="
  build/bench/bench/filter_bench || status=1
  echo "=== migemo_bench ==="
  build/bench/bench/migemo_bench || status=1
  echo "=== spi_bench ==="
  build/bench/bench/spi_bench "$pictures" || status=1
fi

if [ "$what" = wine ] || [ "$what" = all ]; then
  cmake --preset "$preset" >/dev/null &&
    cmake --build --preset "$preset" -j "$jobs" || exit 1
  # The pictures of spi_wine_bench come from spi_bench; made here when only
  # the Windows side runs.
  if [ ! -f "$pictures/vorn_bench_12mp.jpg" ]; then
    cmake --preset bench >/dev/null && cmake --build --preset bench --target spi_bench >/dev/null &&
      build/bench/bench/spi_bench "$pictures" >/dev/null || status=1
  fi
  (
    # shellcheck source=/dev/null
    source scripts/wine-env.sh "$root/build/$preset" private
    trap vorn_env_stop EXIT
    s=0
    for bench in list_refresh_bench hotkey_bench; do
      echo "=== $bench ($preset) ==="
      scripts/wine "build/$preset/$bench.exe" || s=1
    done
    echo "=== spi_wine_bench ($preset) ==="
    (cd "build/$preset" && "$root/scripts/wine" ./spi_wine_bench.exe \
       "Z:$(printf '%s' "$pictures/vorn_bench_12mp.jpg" | tr / '\\')" \
       "Z:$(printf '%s' "$pictures/vorn_bench_12mp.png" | tr / '\\')") || s=1
    echo "=== search_walk_bench ($preset) ==="
    scripts/wine "build/$preset/search_walk_bench.exe" || s=1
    exit $s
  ) || status=1
fi
exit $status
