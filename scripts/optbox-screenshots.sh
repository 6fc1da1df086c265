#!/bin/bash
# optbox-screenshots.sh <build-dir> <out-dir> - pictures of every page of
# Optbox.exe and of its version box, taken under the private Wine display of
# the build (docs/screenshots/optbox-*.png come from here). Needs xdotool and
# ImageMagick; the programs of the build's Wine prefix are ended at the end.
set -e
build=$(cd "${1:?build dir}" && pwd)
out=$(mkdir -p "${2:?out dir}" && cd "$2" && pwd)
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/wine-env.sh" "$build" private >/dev/null 2>&1
trap vorn_env_stop EXIT
work=$(mktemp -d)
cp "$build/Optbox.exe" "$work/"

# Waits (at most 20 s) for a window titled $1; prints its X id.
wait_window() {
  local i id
  for i in $(seq 1 200); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1)
    if [ -n "$id" ]; then echo "$id"; return 0; fi
    sleep 0.1
  done
  return 1
}
# The page is painted a moment after it is shown.
shot() { sleep "${3:-0.7}"; import -window "$1" "$out/$2"; }

(cd "$work" && wine Optbox.exe /a >/dev/null 2>&1 &)
id=$(wait_window vorn)
shot "$id" optbox-version.png
xdotool key --window "$id" Return 2>/dev/null || true
# The version box's process must have ended: a second Optbox would only bring
# it forward.
for i in $(seq 1 100); do
  xdotool search --onlyvisible --name '^vorn$' >/dev/null 2>&1 || break
  xdotool key --window "$id" Return 2>/dev/null || true
  sleep 0.1
done


(cd "$work" && wine Optbox.exe /s >/dev/null 2>&1 &)
id=$(wait_window "vornの設定")
sleep 1.5
names=(common1 common2 edit apps keys preview list path exp history default default2 favorite1 favorite2 search)
for i in "${!names[@]}"; do
  shot "$id" "optbox-${names[$i]}.png"
  xdotool key --window "$id" Down
done
xdotool key --window "$id" Escape
rm -rf "$work"
