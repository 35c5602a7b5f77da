#!/usr/bin/env bash
# Builds the browser game on this Debian machine and packs it:
#   build-web/                            the site: index.html and what it loads
#   build-web/Felidora-<version>-web.zip  the same for any static web host,
#                                         with a note and every licence
# The libraries come from the cache of scripts/web-deps.sh (built on first
# use); the content comes from the native content generator (build/ where it
# is configured, as the suite leaves it, else build-game/, the game alone).
# Prints the size, plain and gzipped, of every file the page loads.
# shellcheck source=scripts/common.sh
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
started=$SECONDS
OUT="$ROOT/build-web"
# everything the page loads must fit into this, gzipped
LIMIT_GZIPPED=$((20 * 1024 * 1024))

# NOTE: python3 on the PATH may be a slow shim, and emcc calls it often;
# emcc's optimiser needs Debian's acorn, which NodeSource's node does not find.
if [ -x /usr/bin/python3 ]; then export EMSDK_PYTHON="${EMSDK_PYTHON:-/usr/bin/python3}"; fi
export NODE_PATH="${NODE_PATH:-/usr/share/nodejs}"

scripts/install-deps.sh --game
need_packages emscripten zip

DEPS=$(scripts/web-deps.sh)
echo "libraries: $DEPS ($((SECONDS - started)) s so far)"

# the content, made on this machine by the native generator
if [ -f build/CMakeCache.txt ]; then
  NATIVE=build
  configure "$NATIVE"
else
  NATIVE=build-game
  configure "$NATIVE" -DBUILD_TESTING=OFF
fi
build "$NATIVE" content

emcmake cmake -S "$ROOT" -B "$OUT" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DFELIDORA_WEB_DEPS="$DEPS" \
  -DFELIDORA_WEB_CONTENT="$ROOT/$NATIVE" >/dev/null
build "$OUT"

# what the page loads, in the order it asks for it
SITE=(index.html felidora.css felidora-page.js felidora.png Shader.js Shader.data Inhalt.js Inhalt.data
  Felidora.js Felidora.wasm)
total=0
total_gzipped=0
printf '%-18s %12s %12s\n' "the page loads" "bytes" "gzipped"
for file in "${SITE[@]}"; do
  [ -f "$OUT/$file" ] || die "$OUT/$file is missing"
  plain=$(stat -c %s "$OUT/$file")
  gzipped=$(gzip -c "$OUT/$file" | wc -c)
  printf '%-18s %12d %12d\n' "$file" "$plain" "$gzipped"
  total=$((total + plain))
  total_gzipped=$((total_gzipped + gzipped))
done
printf '%-18s %12d %12d\n' "in all" "$total" "$total_gzipped"
[ "$total_gzipped" -lt "$LIMIT_GZIPPED" ] ||
  die "the page loads $total_gzipped bytes gzipped, more than $LIMIT_GZIPPED"

# the zip: the site, a note for whoever hosts it and every licence
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$OUT/CMakeCache.txt")
[ -n "$version" ] || die "$OUT/CMakeCache.txt names no CMAKE_PROJECT_VERSION: no version for the zip's name"
name="Felidora-$version-web"
stage="$OUT/package/$name"
rm -rf "$OUT/package"
mkdir -p "$stage/Lizenzen"
for file in "${SITE[@]}"; do
  cp "$OUT/$file" "$stage/"
done
cp packaging/web/README.txt packaging/web/LIESMICH.txt "$stage/"
cp "$DEPS"/licenses/*.txt "$stage/Lizenzen/"
# Emscripten's runtime (musl, libc++, its JavaScript libraries) is linked in
cp /usr/share/doc/emscripten/copyright "$stage/Lizenzen/emscripten.txt"
cp /usr/share/doc/libglm-dev/copyright "$stage/Lizenzen/glm.txt"
rm -f "$OUT/$name.zip"
(cd "$OUT/package" && zip -q -r -X "$OUT/$name.zip" "$name")
echo "packed: $OUT/$name.zip ($(du -h "$OUT/$name.zip" | cut -f1)) in $((SECONDS - started)) s"
