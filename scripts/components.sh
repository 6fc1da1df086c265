#!/usr/bin/env bash
# Fetches and builds the outside components of vorn:
#   - the source packages "cmigemo" (C/Migemo), "libonig" (Oniguruma) and the
#     picture decoders "libjpeg-turbo", "libpng1.6", "zlib" and "giflib" from
#     the distribution's own package registry, through a private apt state
#     (the system's apt set-up is not touched);
#   - Oniguruma, libjpeg-turbo (with its SIMD code), zlib, libpng and giflib as
#     static libraries for i686 and x86-64 MinGW;
#   - the picture corpus of the plug-in tests: the test pictures inside those
#     source packages and pictures made here (tests/spicorpus/make-corpus.sh).
# migemo.dll, BREGEXP.DLL and the picture plug-ins themselves are built by the
# Windows builds (components/migemo, components/bregexp, components/spi) from
# what lands here.
#
# Everything goes to the cache folder $VORN_COMPONENTS (default
# ~/.cache/vorn/components), outside the source tree; a repeated run finds its
# work done and returns at once.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cache=${VORN_COMPONENTS:-$HOME/.cache/vorn/components}
mkdir -p "$cache"
cd "$cache"
say() { echo "components: $*"; }

# --- sources ------------------------------------------------------------------------
# Source package, folder under src/, a file that shows it unpacked.
SOURCES=(
  "cmigemo cmigemo src/migemo.c"
  "libonig onig src/oniguruma.h"
  "libjpeg-turbo libjpeg-turbo jdapimin.c"
  "libpng1.6 libpng png.c"
  "zlib zlib inflate.c"
  "giflib giflib dgif_lib.c"
)

fetch_sources() {  # source package names
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
  if ! (cd "$cache/pkg" && apt-get "${A[@]}" -q source --download-only "$@" \
          >"$S/source.log" 2>&1); then
    cat "$S/source.log" >&2
    say "ERROR: the source packages $* could not be downloaded" >&2
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

missing=()
for entry in "${SOURCES[@]}"; do
  read -r package dir mark <<<"$entry"
  if [ ! -f "src/$dir/$mark" ] && ! ls "pkg/${package}_"*.dsc >/dev/null 2>&1; then
    missing+=("$package")
  fi
done
if [ "${#missing[@]}" -gt 0 ]; then
  say "downloading the source packages ${missing[*]}"
  fetch_sources "${missing[@]}"
fi
mkdir -p src
for entry in "${SOURCES[@]}"; do
  read -r package dir mark <<<"$entry"
  [ -f "src/$dir/$mark" ] && continue
  unpack "${package}_*.dsc" "src/$dir"
  if [ "$package" = cmigemo ]; then
    # The Windows distributions of C/Migemo export their functions with the
    # __stdcall convention on x86; the header gives it to every Windows compiler
    # but MinGW. Ours follows them, so that either DLL can take the other's place.
    sed -i 's/^#if defined(_WIN32) \&\& !defined(__MINGW32__) \&\& !defined(__CYGWIN32__)$/#if defined(_WIN32) \&\& !defined(__CYGWIN32__)/' \
      src/cmigemo/src/migemo.h
    grep -q '^#if defined(_WIN32) && !defined(__CYGWIN32__)$' src/cmigemo/src/migemo.h || {
      say "ERROR: src/cmigemo/src/migemo.h is not the expected header" >&2; rm -rf src/cmigemo; exit 1; }
  fi
done

toolchain() {  # triplet: writes the CMake toolchain file of a MinGW compiler
  local t=$1 cpu=X86
  [ "$t" = x86_64-w64-mingw32 ] && cpu=AMD64
  printf 'set(CMAKE_SYSTEM_NAME Windows)\nset(CMAKE_SYSTEM_PROCESSOR %s)\nset(CMAKE_C_COMPILER %s-gcc-posix)\nset(CMAKE_RC_COMPILER %s-windres)\n' \
    "$cpu" "$t" "$t" > "$cache/toolchain-$t.cmake"
}

# --- Oniguruma, static, per architecture ----------------------------------------------
# Builds and installs a library with its own CMake for a MinGW triplet.
cmake_library() {  # name, source folder, triplet, install folder, library file, CMake options...
  local name=$1 srcdir=$2 t=$3 out=$4 lib=$5 key
  shift 5
  [ -f "$out/lib/$lib" ] && return 0
  say "building $name for $t"
  toolchain "$t"
  key="$cache/$(basename "$out")-build"
  rm -rf "$key"
  cmake -S "$srcdir" -B "$key" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$cache/toolchain-$t.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$out" "$@" >"$key.log" 2>&1 &&
  cmake --build "$key" --target install -j 2 >>"$key.log" 2>&1 || {
    tail -20 "$key.log" >&2
    say "ERROR: $name did not build for $t" >&2
    exit 1
  }
  rm -rf "$key"
}

build_onig() {  # triplet
  cmake_library Oniguruma src/onig "$1" "$cache/onig-$1" libonig.a \
    -DBUILD_SHARED_LIBS=OFF -DENABLE_POSIX_API=OFF
}
build_onig i686-w64-mingw32
build_onig x86_64-w64-mingw32

# --- picture decoders, static, per architecture -----------------------------------------
# libjpeg-turbo with its own CMake and its SIMD code (nasm).
build_jpeg() {  # triplet
  cmake_library libjpeg-turbo src/libjpeg-turbo "$1" "$cache/jpeg-$1" libjpeg.a \
    -DENABLE_SHARED=OFF -DWITH_TURBOJPEG=OFF -DREQUIRE_SIMD=ON
}

# zlib, libpng and giflib: their library sources compiled as they are.
compile_lib() {  # triplet, output .a, include flags and defines..., -- sources...
  local t=$1 lib=$2 obj
  shift 2
  local flags=()
  while [ "$1" != -- ]; do flags+=("$1"); shift; done
  shift
  local objdir="$lib.obj"
  rm -rf "$objdir" && mkdir -p "$objdir" "$(dirname "$lib")"
  for src in "$@"; do
    obj="$objdir/$(basename "${src%.c}").o"
    "$t-gcc-posix" -O2 -DNDEBUG "${flags[@]}" -c "$src" -o "$obj" || return 1
  done
  rm -f "$lib"
  "$t-ar" rcs "$lib" "$objdir"/*.o && rm -rf "$objdir"
}

build_png_gif() {  # triplet
  local t=$1 out="$cache/pic-$1"
  [ -f "$out/lib/libpng.a" ] && [ -f "$out/lib/libz.a" ] && [ -f "$out/lib/libgif.a" ] && return 0
  say "building zlib, libpng and giflib for $t"
  mkdir -p "$out/include"
  local z=src/zlib p=src/libpng g=src/giflib sse=()
  cp $z/zlib.h $z/zconf.h $p/png.h $p/pngconf.h $g/gif_lib.h "$out/include/"
  cp $p/scripts/pnglibconf.h.prebuilt "$out/include/pnglibconf.h"
  # libpng's SSE2 row filters where SSE2 is always there.
  [ "$t" = x86_64-w64-mingw32 ] && sse=(-DPNG_INTEL_SSE $p/intel/intel_init.c $p/intel/filter_sse2_intrinsics.c)
  {
    compile_lib "$t" "$out/lib/libz.a" -I$z -- \
      $z/adler32.c $z/crc32.c $z/inffast.c $z/inflate.c $z/inftrees.c $z/zutil.c \
      $z/deflate.c $z/trees.c $z/compress.c $z/uncompr.c &&
    compile_lib "$t" "$out/lib/libpng.a" -I"$out/include" -I$p "${sse[@]:0:1}" -- \
      $p/png.c $p/pngerror.c $p/pngget.c $p/pngmem.c $p/pngpread.c $p/pngread.c $p/pngrio.c \
      $p/pngrtran.c $p/pngrutil.c $p/pngset.c $p/pngtrans.c $p/pngwio.c $p/pngwrite.c \
      $p/pngwtran.c $p/pngwutil.c "${sse[@]:1}" &&
    compile_lib "$t" "$out/lib/libgif.a" -I$g -- \
      $g/dgif_lib.c $g/gif_err.c $g/gifalloc.c $g/gif_hash.c $g/openbsd-reallocarray.c
  } >"$cache/pic-build-$t.log" 2>&1 || {
    tail -20 "$cache/pic-build-$t.log" >&2
    rm -rf "$out"
    say "ERROR: zlib, libpng or giflib did not build for $t" >&2
    exit 1
  }
}

for t in i686-w64-mingw32 x86_64-w64-mingw32; do
  build_jpeg "$t"
  build_png_gif "$t"
done

# --- the picture corpus of the plug-in tests ---------------------------------------------
if [ ! -f corpus/.complete ]; then
  say "making the picture corpus"
  rm -rf corpus
  mkdir -p corpus
  bash "$here/tests/spicorpus/make-corpus.sh" "$cache/src" corpus || {
    say "ERROR: the picture corpus could not be made" >&2
    rm -rf corpus
    exit 1
  }
  touch corpus/.complete
fi

say "ready in $cache"
