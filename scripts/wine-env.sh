# wine-env.sh - sourced by run.sh and test.sh: a Wine prefix of the build tree,
# code page 932, and an X display with a window manager.
#
#   source scripts/wine-env.sh <build-dir> [private]
#
# With "private", or when DISPLAY is unset, a private Xvfb display with openbox is
# started (stopped again by vorn_env_stop). Without a window manager Wine stalls
# every hide of a top-level window for about 1.7 s, so openbox always runs there.
vorn_build_dir=${1:?build dir}
vorn_private=${2:-}

export LANG=ja_JP.UTF-8
export WINEDEBUG=${WINEDEBUG:--all}
export WINEARCH=win64
# No Mono/Gecko installers: vorn needs neither, and their dialogs would block.
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX=${WINEPREFIX_OVERRIDE:-$vorn_build_dir/wineprefix}

# 32-bit Linux binaries do not run on every kernel: then only the x86-64 build
# can be run under Wine (VORN_CAN_RUN_32 tells which).
vorn_scripts_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
export PATH="$vorn_scripts_dir:/usr/lib/wine:$PATH"
if /usr/lib/wine/wine --version >/dev/null 2>&1; then VORN_CAN_RUN_32=1; else VORN_CAN_RUN_32=0; fi
export VORN_CAN_RUN_32

VORN_XVFB_PID=""
VORN_WM_PID=""

vorn_start_display() {
  local n
  for n in $(seq 91 140); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then break; fi
  done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  VORN_XVFB_PID=$!
  export DISPLAY=":$n"
  local i
  for i in $(seq 1 100); do
    [ -e "/tmp/.X11-unix/X$n" ] && break
    sleep 0.1
  done
  openbox >/dev/null 2>&1 &
  VORN_WM_PID=$!
  # Wait until the window manager owns the screen.
  for i in $(seq 1 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.1
  done
}

vorn_env_stop() {
  wineserver -k >/dev/null 2>&1 || true
  [ -n "$VORN_WM_PID" ] && kill "$VORN_WM_PID" >/dev/null 2>&1 || true
  [ -n "$VORN_XVFB_PID" ] && kill "$VORN_XVFB_PID" >/dev/null 2>&1 || true
  VORN_WM_PID=""; VORN_XVFB_PID=""
}

if [ "$vorn_private" = private ] || [ -z "${DISPLAY:-}" ]; then
  vorn_start_display
fi

mkdir -p "$(dirname "$WINEPREFIX")"
if [ ! -f "$WINEPREFIX/system.reg" ] || ! [ -d "$WINEPREFIX/drive_c/windows/syswow64" ]; then
  rm -rf "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w
fi
# Japanese gothic face for the fonts the programs ask for by name, the
# Japanese names included (the list windows ask for "ＭＳ ゴシック"). Those
# names are not ASCII, so the file is UTF-16LE with its BOM; the registry
# keeps them as \x escapes of their UTF-16 code units (ＭＳ is \xff2d\xff33).
if ! grep -qF '"\xff2d\xff33 \x30b4\x30b7\x30c3\x30af"="IPAGothic"' "$WINEPREFIX/user.reg" 2>/dev/null; then
  printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' \
    '[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]' \
    '"MS Gothic"="IPAGothic"' '"MS UI Gothic"="IPAGothic"' '"MS PGothic"="IPAPGothic"' \
    '"ＭＳ ゴシック"="IPAGothic"' '"ＭＳ Ｐゴシック"="IPAGothic"' '' |
    { printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE; } > "$vorn_build_dir/fonts.reg"
  wine regedit "$vorn_build_dir/fonts.reg" >/dev/null 2>&1 || true
  wineserver -w
fi

# Keep the server and Wine's own helper processes (services, explorer) running
# from here, with no inherited output: otherwise the first program a test runner
# starts would spawn them holding its output pipe open, and the runner would
# wait for that pipe until its time-out.
wineserver -p >/dev/null 2>&1 || true
wine cmd /c exit >/dev/null 2>&1 </dev/null || true
