#!/usr/bin/env bash
# Sets up the machine, builds vorn and starts it under Wine.
# The program runs from build/run/ with its data folder beside it.
# Without a DISPLAY a private Xvfb (with openbox) is started; the running box
# with its clock is photographed, then vorn at work on a small demo folder
# (build/run/demo): its folder list, a cascade, the preview of a picture and
# Optbox's first page. The pictures' paths are printed at the end.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

bash scripts/setup.sh

if /usr/lib/wine/wine --version >/dev/null 2>&1; then preset=win32; else preset=win64; fi
cmake --preset "$preset" >/dev/null
# vorn brings Optbox, tools.exe, the picture plug-ins and the Migemo parts with
# it; tour.exe takes the steps of the demo.
cmake --build --preset "$preset" --target vorn tour -j "$(nproc 2>/dev/null || echo 2)"

build="$root/build/$preset"
rundir="$root/build/run"
mkdir -p "$rundir/data"
for f in vorn.exe Optbox.exe tools.exe migemo.dll BREGEXP.DLL; do
  [ -f "$build/$f" ] && cp "$build/$f" "$rundir/"
done
# The Migemo dictionary and the picture plug-ins of the preview go beside it.
if [ -d "$build/dict" ]; then mkdir -p "$rundir/dict" && cp "$build"/dict/* "$rundir/dict/"; fi
if [ -d "$build/spi" ]; then mkdir -p "$rundir/spi" && cp "$build"/spi/*.spi "$rundir/spi/"; fi

private=""
[ -z "${DISPLAY:-}" ] && private=private
# shellcheck source=/dev/null
source scripts/wine-env.sh "$rundir" $private
trap vorn_env_stop EXIT

# The demo folder: Japanese and ASCII names, two subfolders, a picture (made
# here) and two memos in Shift-JIS, as a Japanese editor writes them.
make_demo() {
  local demo="$rundir/demo"
  rm -rf "$demo"
  mkdir -p "$demo/写真" "$demo/資料"
  printf 'vorn demo folder\r\n' >"$demo/readme.txt"
  printf '10:00 打ち合わせ\r\n15:00 レビュー\r\n' | iconv -f UTF-8 -t CP932 >"$demo/予定表.txt"
  printf '議題: 新しいランチャー\r\n' | iconv -f UTF-8 -t CP932 >"$demo/資料/会議録.txt"
  : >"$demo/報告書.doc"
  printf '夕方、港で\r\n' | iconv -f UTF-8 -t CP932 >"$demo/写真/メモ.txt"
  convert -size 240x180 gradient:'#ffb04a-#5b2a86' -fill '#fff2a8' -draw 'circle 120,125 120,95' \
    -fill '#2a1a40' -draw 'rectangle 0,150 240,180' -depth 8 "$demo/写真/夕焼け.png"
}

shots=()
# shot <file> [X window]: a picture of the window with its frame, else of the
# screen cut to what is on it.
shot() {
  if [ -n "${2:-}" ]; then
    import -frame -window "$2" "$rundir/$1"
  else
    import -window root png:- | convert png:- -trim +repage -bordercolor black -border 8 "$rundir/$1"
  fi
  shots+=("$rundir/$1")
}
tour() { wine "$build/tour.exe" "$@"; }
# The demo: each step of the tour returns once what it shows is on the screen.
demo_tour() {
  local optbox
  tour folder "$1" && shot vorn-folder-list.png || return
  tour cascade 写真 && shot vorn-cascade.png || return
  tour preview 夕焼け.png && shot vorn-preview.png || return
  tour settings || return
  optbox=$(xdotool search --onlyvisible --name '^vornの設定$' | head -1)
  shot vorn-optbox.png "$optbox"
}

cd "$rundir"
echo "starting vorn ($preset) from $rundir on display $DISPLAY"
wine ./vorn.exe "$@" &
vorn_pid=$!

if [ -z "$private" ]; then
  wait "$vorn_pid" || true
  exit 0
fi

# The box with its clock, as a user sees it while working elsewhere: the window
# manager gives the new box the focus a moment after it shows, and only then
# does a click on the empty desktop take it away.
for _ in $(seq 1 100); do
  xprop -id "$(xdotool getwindowfocus 2>/dev/null)" WM_CLASS 2>/dev/null | grep -q vorn.exe && break
  sleep 0.1
done
xdotool mousemove 640 600 click 1 >/dev/null 2>&1 || true
tour clock || true
shot vorn-screenshot.png
make_demo
demo_tour "Z:${rundir//\//\\}\\demo\\" || echo "the demo stopped early (see above)"
tour close-settings || true
tour clear || true
echo "screenshots of vorn:"
printf '  %s\n' "${shots[@]}"
if [ -t 0 ]; then
  echo "vorn runs on the private display $DISPLAY; press Ctrl+C to stop."
  wait "$vorn_pid" || true
else
  kill "$vorn_pid" >/dev/null 2>&1 || true
fi
