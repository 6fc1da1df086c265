#!/usr/bin/env bash
# Fetches and builds the outside components of vorn's Migemo search:
#   - the source packages "cmigemo" (C/Migemo) and "libonig" (Oniguruma) from
#     the distribution's own package registry, through a private apt state
#     (the system's apt set-up is not touched);
#   - Oniguruma as a static library for i686 and x86-64 MinGW.
# migemo.dll and BREGEXP.DLL themselves are built by the Windows builds
# (components/migemo, components/bregexp) from what lands here.
#
# Everything goes to the cache folder $VORN_COMPONENTS (default
# ~/.cache/vorn/components), outside the source tree; a repeated run finds its
# work done and returns at once.
set -euo pipefail

cache=${VORN_COMPONENTS:-$HOME/.cache/vorn/components}
mkdir -p "$cache"
cd "$cache"
say() { echo "components: $*"; }

# --- sources ------------------------------------------------------------------------
fetch_sources() {
  local S="$cache/apt"
  mkdir -p "$S/lists/partial" "$cache/pkg"
  local uri
  uri=$(sed -n 's/^URIs: //p' /etc/apt/sources.list.d/debian.sources 2>/dev/null | head -1)
  [ -n "$uri" ] || uri=$(sed -n 's/^deb \([^ ]*\) .*/\1/p' /etc/apt/sources.list 2>/dev/null | head -1)
  local suite
  suite=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
  echo "deb-src $uri $suite main" > "$S/src.list"
  local A=(-o Dir::Etc::SourceList="$S/src.list" -o Dir::Etc::SourceParts=/dev/null
           -o Dir::State::Lists="$S/lists")
  if ! apt-get "${A[@]}" -q update >"$S/update.log" 2>&1; then
    cat "$S/update.log" >&2
    say "ERROR: the source package lists could not be downloaded from $uri" >&2
    exit 1
  fi
  if ! (cd "$cache/pkg" && apt-get "${A[@]}" -q source --download-only cmigemo libonig \
          >"$S/source.log" 2>&1); then
    cat "$S/source.log" >&2
    say "ERROR: the source packages cmigemo and libonig could not be downloaded" >&2
    exit 1
  fi
}

# Unpacks a source package with the distribution's patches applied.
unpack() {  # .dsc name pattern, target folder
  local dsc
  dsc=$(ls "$cache"/pkg/$1 2>/dev/null | head -1)
  [ -n "$dsc" ] || { say "ERROR: no $1 in $cache/pkg" >&2; exit 1; }
  rm -rf "$2"
  dpkg-source --no-check -x "$dsc" "$2" >/dev/null || { say "ERROR: $dsc did not unpack" >&2; exit 1; }
}

if [ ! -f src/cmigemo/src/migemo.c ] || [ ! -f src/onig/src/oniguruma.h ]; then
  if ! ls pkg/cmigemo_*.dsc >/dev/null 2>&1 || ! ls pkg/libonig_*.dsc >/dev/null 2>&1; then
    say "downloading the source packages cmigemo and libonig"
    fetch_sources
  fi
  mkdir -p src
  unpack 'cmigemo_*.dsc' src/cmigemo
  unpack 'libonig_*.dsc' src/onig
  # The Windows distributions of C/Migemo export their functions with the
  # __stdcall convention on x86; the header gives it to every Windows compiler
  # but MinGW. Ours follows them, so that either DLL can take the other's place.
  sed -i 's/^#if defined(_WIN32) && !defined(__MINGW32__) && !defined(__CYGWIN32__)$/#if defined(_WIN32) \&\& !defined(__CYGWIN32__)/' \
    src/cmigemo/src/migemo.h
  grep -q '^#if defined(_WIN32) && !defined(__CYGWIN32__)$' src/cmigemo/src/migemo.h || {
    say "ERROR: src/cmigemo/src/migemo.h is not the expected header" >&2; rm -rf src/cmigemo; exit 1; }
fi

# --- Oniguruma, static, per architecture ----------------------------------------------
build_onig() {  # triplet
  local t=$1 out="$cache/onig-$1"
  [ -f "$out/lib/libonig.a" ] && return 0
  say "building Oniguruma for $t"
  local tc="$cache/toolchain-$t.cmake"
  printf 'set(CMAKE_SYSTEM_NAME Windows)\nset(CMAKE_C_COMPILER %s-gcc-posix)\nset(CMAKE_RC_COMPILER %s-windres)\n' \
    "$t" "$t" > "$tc"
  rm -rf "$cache/onig-build-$t"
  cmake -S src/onig -B "$cache/onig-build-$t" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$tc" \
    -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF -DENABLE_POSIX_API=OFF \
    -DCMAKE_INSTALL_PREFIX="$out" >"$cache/onig-build-$t.log" 2>&1 &&
  cmake --build "$cache/onig-build-$t" --target install -j 2 >>"$cache/onig-build-$t.log" 2>&1 || {
    tail -20 "$cache/onig-build-$t.log" >&2
    say "ERROR: Oniguruma did not build for $t" >&2
    exit 1
  }
  rm -rf "$cache/onig-build-$t"
}
build_onig i686-w64-mingw32
build_onig x86_64-w64-mingw32

say "ready in $cache"
