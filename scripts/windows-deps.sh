#!/usr/bin/env bash
# Cross-builds the libraries the Windows game links (static, MinGW-w64) from
# Debian's own source packages, once, into a cache outside the clone:
#   ~/.cache/felidora/windows-deps/<key>/{include,lib,licenses,versions.txt,COMPLETE}
# The key hashes the pinned versions, every recipe below and the compiler, so a
# changed flag builds a new cache (scripts/deps-cache.sh keeps it, shared with
# the browser's libraries).
# Prints the cache folder on standard output; the log goes to standard error.
# Adding a library: one line in LIBS and one build_<name> function.
# shellcheck source=scripts/common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
TOOLCHAIN="$ROOT/cmake/mingw-w64-x86_64.cmake"
CACHE="${FELIDORA_WINDOWS_CACHE:-$HOME/.cache/felidora}"
HOST=x86_64-w64-mingw32
KIND=windows
# shellcheck source=scripts/deps-cache.sh
source "$ROOT/scripts/deps-cache.sh"

# name | Debian source package | versions accepted (regex on the Debian version,
# newest first) | licence files in the upstream tree (space separated)
LIBS=(
  "zlib|zlib|^1:1\.2\.13\.|LICENSE"
  "libpng|libpng1.6|^1\.6\.39-|LICENSE"
  "glew|glew|^2\.2\.0-|LICENSE.txt"
  "glfw|glfw3|^3\.3\.8-|LICENSE.md"
  "devil|devil|^1\.8\.0\.|DevIL/COPYING"
  "assimp|assimp|^5\.2\.5~|LICENSE"
  "ffmpeg|ffmpeg|^7:5\.1\.|COPYING.LGPLv2.1 LICENSE.md"
  "sndfile|libsndfile|^1\.2\.0-|COPYING"
  "openal|openal-soft|^1:1\.24\.|COPYING"
)

cmake_cross() { # source build [options...]
  local src=$1 build=$2
  shift 2
  # NOTE: pkg-config would hand CMake the host's libraries (minizip, say)
  PKG_CONFIG_LIBDIR="$PREFIX/lib/pkgconfig" PKG_CONFIG_PATH="" \
    cmake -S "$src" -B "$build" -G "Unix Makefiles" -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
      -DFELIDORA_WINDOWS_DEPS="$PREFIX" -DCMAKE_INSTALL_PREFIX="$PREFIX" -DCMAKE_BUILD_TYPE=Release \
      -DBUILD_SHARED_LIBS=OFF "$@" >"$build.configure.log" 2>&1 || { tail -40 "$build.configure.log" >&2; return 1; }
  cmake --build "$build" -j"$JOBS" >"$build.build.log" 2>&1 || { tail -40 "$build.build.log" >&2; return 1; }
  cmake --install "$build" >/dev/null
}

# zlib's own sources compiled straight into an archive (the Debian tarball
# has no Windows makefile).
build_zlib() {
  mkdir -p "$BUILD" "$PREFIX/include" "$PREFIX/lib"
  local file
  for file in adler32 compress crc32 deflate gzclose gzlib gzread gzwrite infback inffast inflate inftrees \
    trees uncompr zutil; do
    $HOST-gcc-posix -O2 -c "$SRC/$file.c" -o "$BUILD/$file.o"
  done
  $HOST-gcc-ar-posix rcs "$PREFIX/lib/libz.a" "$BUILD"/*.o
  cp "$SRC/zlib.h" "$SRC/zconf.h" "$PREFIX/include/"
}

build_libpng() {
  mkdir -p "$BUILD"
  (cd "$BUILD" && "$SRC/configure" --host=$HOST --prefix="$PREFIX" --disable-shared --enable-static \
    CC=$HOST-gcc-posix AR=$HOST-gcc-ar-posix RANLIB=$HOST-gcc-ranlib-posix \
    CPPFLAGS="-I$PREFIX/include" LDFLAGS="-L$PREFIX/lib" >"$BUILD.configure.log" 2>&1 &&
    make -j"$JOBS" >"$BUILD.build.log" 2>&1 && make install >/dev/null 2>&1)
}

# GLEW is one generated source file: GLEW_STATIC, no GLU.
build_glew() {
  mkdir -p "$BUILD" "$PREFIX/include/GL" "$PREFIX/lib"
  $HOST-gcc-posix -O2 -DGLEW_STATIC -DGLEW_NO_GLU -I"$SRC/include" -c "$SRC/src/glew.c" -o "$BUILD/glew.o"
  $HOST-gcc-ar-posix rcs "$PREFIX/lib/libglew32.a" "$BUILD/glew.o"
  cp "$SRC"/include/GL/*.h "$PREFIX/include/GL/"
}

build_glfw() {
  cmake_cross "$SRC" "$BUILD" -DGLFW_BUILD_EXAMPLES=OFF -DGLFW_BUILD_TESTS=OFF -DGLFW_BUILD_DOCS=OFF
}

# DevIL's image library alone, PNG its only format with an outside library.
build_devil() {
  cmake_cross "$SRC/DevIL/src-IL" "$BUILD" -DIL_TESTS=OFF \
    -DPNG_PNG_INCLUDE_DIR="$PREFIX/include" -DPNG_LIBRARY="$PREFIX/lib/libpng16.a" \
    -DZLIB_INCLUDE_DIR="$PREFIX/include" -DZLIB_LIBRARY="$PREFIX/lib/libz.a" \
    -DCMAKE_C_FLAGS="-DIL_STATIC_LIB" -DCMAKE_CXX_FLAGS="-DIL_STATIC_LIB"
}

# Assimp with its COLLADA importer only. Debian's tarball leaves out three
# bundled parts: minizip comes from zlib's source (its crypt.c is not needed
# for reading), utf8cpp and stb from Debian's header packages.
build_assimp() {
  local contrib="$SRC/contrib"
  mkdir -p "$contrib/unzip" "$contrib/utf8cpp/source" "$contrib/stb"
  cp "$ZLIB_SRC"/contrib/minizip/{ioapi.c,ioapi.h,unzip.c,unzip.h,crypt.h} "$contrib/unzip/"
  : >"$contrib/unzip/crypt.c"
  cp -r /usr/include/utf8cpp/* "$contrib/utf8cpp/source/"
  cp /usr/include/stb/stb_image.h "$contrib/stb/"
  cmake_cross "$SRC" "$BUILD" -DASSIMP_BUILD_TESTS=OFF -DASSIMP_BUILD_ASSIMP_TOOLS=OFF \
    -DASSIMP_BUILD_SAMPLES=OFF -DASSIMP_BUILD_ALL_IMPORTERS_BY_DEFAULT=OFF -DASSIMP_BUILD_COLLADA_IMPORTER=ON \
    -DASSIMP_NO_EXPORT=ON -DASSIMP_BUILD_ZLIB=OFF -DASSIMP_WARNINGS_AS_ERRORS=OFF -DASSIMP_INSTALL_PDB=OFF \
    -DASSIMP_BUILD_DRACO=OFF -DASSIMP_DOUBLE_PRECISION=OFF -DASSIMP_IGNORE_GIT_HASH=ON \
    -DZLIB_INCLUDE_DIR="$PREFIX/include" -DZLIB_LIBRARY="$PREFIX/lib/libz.a"
}

# Only what the MPEG clips need: two decoders, two demuxers, the file protocol
# and the scaler.
build_ffmpeg() {
  mkdir -p "$BUILD"
  (cd "$BUILD" && "$SRC/configure" --prefix="$PREFIX" --enable-cross-compile --target-os=mingw32 \
    --arch=x86_64 --cross-prefix=$HOST- --cc=$HOST-gcc-posix --cxx=$HOST-g++-posix --ar=$HOST-gcc-ar-posix \
    --ranlib=$HOST-gcc-ranlib-posix --enable-static --disable-shared --disable-programs --disable-doc \
    --disable-debug --disable-everything --disable-autodetect --disable-network --disable-avdevice \
    --disable-avfilter --disable-swresample --disable-postproc --pkg-config=false \
    --enable-decoder=mpeg1video,mpeg2video --enable-demuxer=mpegps,mpegvideo --enable-parser=mpegvideo \
    --enable-protocol=file --enable-swscale >"$BUILD.configure.log" 2>&1 &&
    make -j"$JOBS" >"$BUILD.build.log" 2>&1 && make install >/dev/null 2>&1) ||
    { tail -40 "$BUILD.configure.log" "$BUILD.build.log" >&2 2>/dev/null; return 1; }
}

# libsndfile for WAV alone: no outside codec libraries.
build_sndfile() {
  cmake_cross "$SRC" "$BUILD" -DBUILD_PROGRAMS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_TESTING=OFF -DBUILD_REGTEST=OFF \
    -DENABLE_EXTERNAL_LIBS=OFF -DENABLE_MPEG=OFF -DENABLE_CPACK=OFF -DINSTALL_MANPAGES=OFF
}

# OpenAL Soft as a static library with Windows' own backends (and null, wave).
# NOTE: its link to the bundled fmt objects needs CMake 3.26
# (BUILD_LOCAL_INTERFACE), Debian 12 has 3.25: the objects become sources.
build_openal() {
  sed -i 's/^\( *\)\$<BUILD_LOCAL_INTERFACE:alsoft::fmt>)/\1)\n\1target_sources(${IMPL_TARGET} PRIVATE $<TARGET_OBJECTS:alsoft.fmt>)\n\1target_include_directories(${IMPL_TARGET} PRIVATE $<TARGET_PROPERTY:alsoft.fmt,INCLUDE_DIRECTORIES>)/' \
    "$SRC/CMakeLists.txt"
  cmake_cross "$SRC" "$BUILD" -DLIBTYPE=STATIC -DALSOFT_UTILS=OFF -DALSOFT_EXAMPLES=OFF -DALSOFT_TESTS=OFF \
    -DALSOFT_NO_CONFIG_UTIL=ON -DALSOFT_INSTALL_HRTF_DATA=OFF -DALSOFT_INSTALL_AMBDEC_PRESETS=OFF \
    -DALSOFT_INSTALL_EXAMPLES=OFF -DALSOFT_INSTALL_UTILS=OFF
}

# --- the cache -----------------------------------------------------------------

recipe() {
  printf '%s\n' "${LIBS[@]}"
  declare -f cmake_cross
  for entry in "${LIBS[@]}"; do declare -f "build_${entry%%|*}"; done
  cat "$TOOLCHAIN"
  $HOST-g++-posix --version | head -1
}
build_libraries
