#!/usr/bin/env bash
# Builds the Windows game on this Debian machine and packs it:
#   build-windows/Felidora.exe                       with its content beside it
#   build-windows/Felidora-<version>-windows-x64.zip the game for players
# The libraries come from the cache of scripts/windows-deps.sh (built on first
# use); the content comes from the native content generator in build/.
# shellcheck source=scripts/common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
started=$SECONDS
OUT="$ROOT/build-windows"
HOST=x86_64-w64-mingw32

# the native build's packages (the content generator), then the cross tools
scripts/install-deps.sh
need_packages mingw-w64 wine wine64 nasm zip unzip libutfcpp-dev libstb-dev

DEPS=$(scripts/windows-deps.sh)
echo "libraries: $DEPS ($((SECONDS - started)) s so far)"

# the content, made on this machine by the native generator, in the folders
# the game names (the shaders come with the Windows build itself)
configure build
build build content
SHADERS=$(content_name kShaderFolder)
GENERATED=()
for constant in kModelFolder kImageFolder kClipFolder kSoundFolder; do
  GENERATED+=("$(content_name "$constant")")
done

configure "$OUT" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" -DFELIDORA_WINDOWS_DEPS="$DEPS" \
  -DCMAKE_BUILD_TYPE=Release
build "$OUT" Felidora
for folder in "${GENERATED[@]}"; do
  rm -rf "${OUT:?}/$folder"
  cp -r "build/$folder" "$OUT/$folder"
done

# Only Windows' own DLLs may be imported: the zip carries no DLL.
dlls=$($HOST-objdump -p "$OUT/Felidora.exe" | sed -n 's/^\s*DLL Name: //p' | sort -f)
echo "Felidora.exe imports: $(echo $dlls)"
for dll in $dlls; do
  case "${dll,,}" in
  kernel32.dll | user32.dll | gdi32.dll | opengl32.dll | msvcrt.dll | shell32.dll | advapi32.dll | bcrypt.dll | \
    ole32.dll | winmm.dll | avrt.dll | api-ms-win-*) ;;
  *)
    echo "Felidora.exe needs $dll, which is no Windows system DLL" >&2
    exit 1
    ;;
  esac
done

# the zip: the game, its content, a note for players and every licence
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$OUT/CMakeCache.txt")
[ -n "$version" ] || die "$OUT/CMakeCache.txt names no CMAKE_PROJECT_VERSION: no version for the zip's name"
name="Felidora-$version-windows-x64"
stage="$OUT/package/$name"
rm -rf "$OUT/package"
mkdir -p "$stage/Lizenzen"
$HOST-strip -o "$stage/Felidora.exe" "$OUT/Felidora.exe"
for folder in "$SHADERS" "${GENERATED[@]}"; do
  cp -r "$OUT/$folder" "$stage/"
done
# Windows' editors want CRLF line ends
for text in README.txt LIESMICH.txt; do
  sed 's/$/\r/' "packaging/windows/$text" >"$stage/$text"
done
for licence in "$DEPS"/licenses/*.txt; do
  sed 's/$/\r/' "$licence" >"$stage/Lizenzen/$(basename "$licence")"
done
# the MinGW-w64 runtime (winpthreads among it) and GCC's runtime are linked in too
sed 's/$/\r/' /usr/share/doc/mingw-w64-common/copyright >"$stage/Lizenzen/mingw-w64.txt"
sed 's/$/\r/' /usr/share/doc/gcc-mingw-w64-base/copyright >"$stage/Lizenzen/gcc-runtime.txt"
sed 's/$/\r/' /usr/share/doc/libglm-dev/copyright >"$stage/Lizenzen/glm.txt"
rm -f "$OUT/$name.zip"
(cd "$OUT/package" && zip -q -r -X "$OUT/$name.zip" "$name")
echo "packed: $OUT/$name.zip ($(du -h "$OUT/$name.zip" | cut -f1)) in $((SECONDS - started)) s"
