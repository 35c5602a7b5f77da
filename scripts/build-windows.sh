#!/usr/bin/env bash
# Builds the Windows game on this Debian machine and packs it:
#   build-windows/Felidora.exe                       with its content beside it
#   build-windows/Felidora-<version>-windows-x64.zip the game for players
# The libraries come from the cache of scripts/windows-deps.sh (built on first
# use); the content comes from the native content generator in build/.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"
started=$SECONDS
OUT="$ROOT/build-windows"
HOST=x86_64-w64-mingw32

# the native build's packages (the content generator), then the cross tools
scripts/install-deps.sh
PACKAGES=(mingw-w64 wine wine64 nasm zip unzip libutfcpp-dev libstb-dev)
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  $SUDO apt-get -o DPkg::Lock::Timeout=900 update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get -o DPkg::Lock::Timeout=900 install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null
fi

DEPS=$(scripts/windows-deps.sh)
echo "libraries: $DEPS ($((SECONDS - started)) s so far)"

# the content, made on this machine by the native generator
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j2 --target content

cmake -S . -B "$OUT" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" -DFELIDORA_WINDOWS_DEPS="$DEPS" \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$OUT" -j2 --target Felidora
for folder in Modelle Bilder Videos Klaenge; do
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
name="Felidora-$version-windows-x64"
stage="$OUT/package/$name"
rm -rf "$OUT/package"
mkdir -p "$stage/Lizenzen"
$HOST-strip -o "$stage/Felidora.exe" "$OUT/Felidora.exe"
cp -r "$OUT"/{Shader,Modelle,Bilder,Videos,Klaenge} "$stage/"
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
