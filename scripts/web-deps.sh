#!/usr/bin/env bash
# Cross-builds the libraries the browser game links (static, Emscripten's
# WebAssembly) from Debian's own source packages, once, into a cache outside
# the clone: ~/.cache/felidora/web-deps/<key>/ (scripts/deps-cache.sh says how
# the cache is kept; the fetched sources are the Windows build's).
# GLFW and OpenAL are Emscripten's own JavaScript libraries; GLEW is
# Emscripten's header: none of them is built here.
# Prints the cache folder on standard output; the log goes to standard error.
# shellcheck source=scripts/common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
CACHE="${FELIDORA_WEB_CACHE:-$HOME/.cache/felidora}"
KIND=web
# shellcheck source=scripts/deps-cache.sh
source "$ROOT/scripts/deps-cache.sh"
# NOTE: python3 on the PATH may be a slow shim; emcc and FFmpeg's configure
# call it hundreds of times. emcc's optimiser needs Debian's acorn.
export EMSDK_PYTHON="${EMSDK_PYTHON:-/usr/bin/python3}" NODE_PATH="${NODE_PATH:-/usr/share/nodejs}"

LIBS=(
  "zlib|zlib|^1:1\.2\.13\.|LICENSE"
  "libpng|libpng1.6|^1\.6\.39-|LICENSE"
  "devil|devil|^1\.8\.0\.|DevIL/COPYING"
  "assimp|assimp|^5\.2\.5~|LICENSE"
  "ffmpeg|ffmpeg|^7:5\.1\.|COPYING.LGPLv2.1 LICENSE.md"
  "sndfile|libsndfile|^1\.2\.0-|COPYING"
)

cmake_web() { # source build [options...]
  local src=$1 build=$2
  shift 2
  PKG_CONFIG_LIBDIR="$PREFIX/lib/pkgconfig" PKG_CONFIG_PATH="" \
    emcmake cmake -S "$src" -B "$build" -G "Unix Makefiles" -DCMAKE_INSTALL_PREFIX="$PREFIX" \
      -DCMAKE_FIND_ROOT_PATH="$PREFIX" -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF "$@" \
      >"$build.configure.log" 2>&1 || { tail -40 "$build.configure.log" >&2; return 1; }
  cmake --build "$build" -j"$JOBS" >"$build.build.log" 2>&1 || { tail -40 "$build.build.log" >&2; return 1; }
  cmake --install "$build" >/dev/null
}

# zlib's own sources compiled straight into an archive.
build_zlib() {
  mkdir -p "$BUILD" "$PREFIX/include" "$PREFIX/lib"
  local file
  for file in adler32 compress crc32 deflate gzclose gzlib gzread gzwrite infback inffast inflate inftrees \
    trees uncompr zutil; do
    emcc -O2 -DHAVE_UNISTD_H -DHAVE_STDARG_H -c "$SRC/$file.c" -o "$BUILD/$file.o"
  done
  emar rcs "$PREFIX/lib/libz.a" "$BUILD"/*.o
  cp "$SRC/zlib.h" "$SRC/zconf.h" "$PREFIX/include/"
}

build_libpng() {
  cmake_web "$SRC" "$BUILD" -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_EXECUTABLES=OFF -DPNG_TESTS=OFF \
    -DPNG_HARDWARE_OPTIMIZATIONS=OFF -DZLIB_INCLUDE_DIR="$PREFIX/include" -DZLIB_LIBRARY="$PREFIX/lib/libz.a"
}

# DevIL's image library alone, PNG its only format with an outside library.
build_devil() {
  cmake_web "$SRC/DevIL/src-IL" "$BUILD" -DIL_TESTS=OFF \
    -DPNG_PNG_INCLUDE_DIR="$PREFIX/include" -DPNG_LIBRARY="$PREFIX/lib/libpng16.a" \
    -DZLIB_INCLUDE_DIR="$PREFIX/include" -DZLIB_LIBRARY="$PREFIX/lib/libz.a" \
    -DCMAKE_C_FLAGS="-DIL_STATIC_LIB" -DCMAKE_CXX_FLAGS="-DIL_STATIC_LIB"
}

# Assimp with its COLLADA importer only; the three bundled parts Debian's
# tarball leaves out come as for Windows. A broken file is reported by an
# exception Assimp catches itself: Emscripten's default compiles every catch
# out, and the page would abort where the desktop prints Assimp's error.
build_assimp() {
  local contrib="$SRC/contrib"
  mkdir -p "$contrib/unzip" "$contrib/utf8cpp/source" "$contrib/stb"
  cp "$ZLIB_SRC"/contrib/minizip/{ioapi.c,ioapi.h,unzip.c,unzip.h,crypt.h} "$contrib/unzip/"
  : >"$contrib/unzip/crypt.c"
  cp -r /usr/include/utf8cpp/* "$contrib/utf8cpp/source/"
  cp /usr/include/stb/stb_image.h "$contrib/stb/"
  cmake_web "$SRC" "$BUILD" -DASSIMP_BUILD_TESTS=OFF -DASSIMP_BUILD_ASSIMP_TOOLS=OFF \
    -DASSIMP_BUILD_SAMPLES=OFF -DASSIMP_BUILD_ALL_IMPORTERS_BY_DEFAULT=OFF -DASSIMP_BUILD_COLLADA_IMPORTER=ON \
    -DASSIMP_NO_EXPORT=ON -DASSIMP_BUILD_ZLIB=OFF -DASSIMP_WARNINGS_AS_ERRORS=OFF -DASSIMP_INSTALL_PDB=OFF \
    -DASSIMP_BUILD_DRACO=OFF -DASSIMP_DOUBLE_PRECISION=OFF -DASSIMP_IGNORE_GIT_HASH=ON \
    -DZLIB_INCLUDE_DIR="$PREFIX/include" -DZLIB_LIBRARY="$PREFIX/lib/libz.a" \
    -DCMAKE_CXX_FLAGS="-sDISABLE_EXCEPTION_CATCHING=0" -DCMAKE_C_FLAGS="-sDISABLE_EXCEPTION_CATCHING=0"
}

# Only what the MPEG clips need, as for Windows; no assembly and no threads.
build_ffmpeg() {
  mkdir -p "$BUILD"
  (cd "$BUILD" && emconfigure "$SRC/configure" --prefix="$PREFIX" --enable-cross-compile --target-os=none \
    --arch=x86_32 --cc=emcc --cxx=em++ --ar=emar --ranlib=emranlib --nm=emnm --dep-cc=emcc \
    --disable-asm --disable-inline-asm --disable-x86asm --disable-runtime-cpudetect --disable-pthreads \
    --enable-static --disable-shared --disable-programs --disable-doc --disable-debug --disable-everything \
    --disable-autodetect --disable-network --disable-avdevice --disable-avfilter --disable-swresample \
    --disable-postproc --pkg-config=false \
    --enable-decoder=mpeg1video,mpeg2video --enable-demuxer=mpegps,mpegvideo --enable-parser=mpegvideo \
    --enable-protocol=file --enable-swscale >"$BUILD.configure.log" 2>&1 &&
    emmake make -j"$JOBS" >"$BUILD.build.log" 2>&1 && emmake make install >/dev/null 2>&1) ||
    { tail -40 "$BUILD.configure.log" "$BUILD.build.log" >&2 2>/dev/null; return 1; }
}

# libsndfile for WAV alone: no outside codec libraries.
build_sndfile() {
  cmake_web "$SRC" "$BUILD" -DBUILD_PROGRAMS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_TESTING=OFF -DBUILD_REGTEST=OFF \
    -DENABLE_EXTERNAL_LIBS=OFF -DENABLE_MPEG=OFF -DENABLE_CPACK=OFF -DINSTALL_MANPAGES=OFF
}

recipe() {
  printf '%s\n' "${LIBS[@]}"
  declare -f cmake_web
  for entry in "${LIBS[@]}"; do declare -f "build_${entry%%|*}"; done
  emcc --version | sed -n 1p # all of it read: emcc complains of a closed pipe
}

need_packages emscripten cmake make pkg-config libutfcpp-dev libstb-dev
build_libraries
