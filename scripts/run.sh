#!/usr/bin/env bash
# Sets up the machine, builds vorn and starts it under Wine.
# The program runs from build/run/ with its data folder beside it.
# Without a DISPLAY a private Xvfb (with openbox) is started, and a screenshot
# of the running box is written to a path printed at the end.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

bash scripts/setup.sh

if /usr/lib/wine/wine --version >/dev/null 2>&1; then preset=win32; else preset=win64; fi
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target vorn -j "$(nproc 2>/dev/null || echo 2)"

rundir="$root/build/run"
mkdir -p "$rundir/data"
cp "build/$preset/vorn.exe" "$rundir/"
# Migemo search: its two libraries and the dictionary beside the program.
cmake --build --preset "$preset" --target migemo_components >/dev/null 2>&1 || true
for f in migemo.dll BREGEXP.DLL; do
  [ -f "build/$preset/$f" ] && cp "build/$preset/$f" "$rundir/"
done
if [ -d "build/$preset/dict" ]; then mkdir -p "$rundir/dict" && cp build/$preset/dict/* "$rundir/dict/"; fi
# The picture plug-ins of the preview (built with vorn) into spi\ beside it.
if [ -d "build/$preset/spi" ]; then mkdir -p "$rundir/spi" && cp build/$preset/spi/*.spi "$rundir/spi/"; fi

private=""
[ -z "${DISPLAY:-}" ] && private=private
# shellcheck source=/dev/null
source scripts/wine-env.sh "$root/build/run" $private
trap vorn_env_stop EXIT

cd "$rundir"
echo "starting vorn ($preset) from $rundir on display $DISPLAY"
wine ./vorn.exe "$@" &
vorn_pid=$!

if [ -n "$private" ]; then
  shot="$rundir/vorn-screenshot.png"
  # Wait (bounded) for the box to be mapped, then photograph the screen.
  for _ in $(seq 1 100); do
    if xwininfo -root -tree 2>/dev/null | grep -q 'vorn.exe'; then break; fi
    sleep 0.1
  done
  # A click on the empty desktop takes the focus away: the box then shows its clock.
  sleep 1
  xdotool mousemove 640 600 click 1 >/dev/null 2>&1 || true
  sleep 1.5
  import -window root "$shot"
  echo "screenshot of the running box: $shot"
  if [ -t 0 ]; then
    echo "vorn runs on the private display $DISPLAY; press Ctrl+C to stop."
    wait "$vorn_pid" || true
  else
    kill "$vorn_pid" >/dev/null 2>&1 || true
  fi
else
  wait "$vorn_pid" || true
fi
