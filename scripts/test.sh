#!/usr/bin/env bash
# Sets up the machine, builds everything and runs every test through CTest:
#   1. the pure core natively under AddressSanitizer + UBSan,
#   2. each libFuzzer target for a few seconds,
#   3. the Windows programs for x86 and x86-64, and their in-process and
#      end-to-end tests under Wine on a private Xvfb display with openbox.
# The x86 tests run where this machine can execute 32-bit binaries; the x86
# build is always compiled.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
start=$(date +%s)

bash scripts/setup.sh

jobs=$(nproc 2>/dev/null || echo 2)
step() { echo; echo "=== $* ==="; }

step "native core (ASan + UBSan)"
cmake --preset native >/dev/null
cmake --build --preset native -j "$jobs"
ctest --preset native -j "$jobs"

step "fuzz targets (short runs)"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$jobs"
ctest --preset fuzz

step "Windows x86 build and release archive"
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j "$jobs"
cmake --build --preset win32 --target package

step "Windows x86-64 build and release archive"
cmake --preset win64 >/dev/null
cmake --build --preset win64 -j "$jobs"
cmake --build --preset win64 --target package

run_wine_tests() {
  local preset=$1
  step "tests under Wine ($preset)"
  (
    # shellcheck source=/dev/null
    source scripts/wine-env.sh "$root/build/$preset" private
    trap vorn_env_stop EXIT
    # A test that fails once fails the run. A test program that Wine ended
    # before its main ran is started again by scripts/wine, which lists it.
    rm -f "$root/build/$preset/wine-restarts.log"
    status=0
    ctest --preset "$preset" || status=$?
    if [ -s "$root/build/$preset/wine-restarts.log" ]; then
      echo "test programs that Wine had to start again ($preset):"
      cat "$root/build/$preset/wine-restarts.log"
    fi
    exit "$status"
  )
}

source_can32=$( /usr/lib/wine/wine --version >/dev/null 2>&1 && echo 1 || echo 0 )
if [ "$source_can32" = 1 ]; then
  run_wine_tests win32
else
  echo "(this machine cannot execute 32-bit binaries: the x86 build is compiled, its tests run as x86-64)"
fi
run_wine_tests win64

echo
echo "all tests passed in $(( $(date +%s) - start )) s"
