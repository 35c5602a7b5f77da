# shellcheck shell=bash
# What scripts/windows-deps.sh and scripts/web-deps.sh share: Debian's source
# packages fetched once into $CACHE/sources (both builds use the same
# tarballs), and the keyed cache of installed libraries:
#   $CACHE/<kind>-deps/<key>/{include,lib,licenses,versions.txt,COMPLETE}
# COMPLETE is written last: a folder without it is never used. Each finished
# library carries its own stamp, so an interrupted build resumes at the first
# unfinished library (it builds in place: installed CMake files name their
# own folder).
# The caller sources common.sh, sets CACHE, KIND and LIBS (name | Debian
# source package | versions accepted, a regex on the Debian version, newest
# first | licence files in the upstream tree), defines build_<name> for each
# and recipe (what the key hashes), then calls build_libraries.

log() { echo "$KIND-deps: $*" >&2; }

# Debian's source packages, through apt with a private list of deb-src
# entries (Debian 12; Debian 13 for OpenAL Soft 1.24, unstable for DevIL 1.8): the machine's own apt
# configuration and lock stay untouched.
APT_DIR="$CACHE/apt"
APT_OPTS=(-o Dir::Etc::SourceList="$APT_DIR/sources.list" -o Dir::Etc::SourceParts=/nonexistent
  -o Dir::State::Lists="$APT_DIR/lists" -o Dir::Cache="$APT_DIR/cache" -o APT::Sandbox::User=root)
SOURCES="$CACHE/sources"
# the tarballs' folder before both builds shared it
if [ -d "$CACHE/windows-sources" ] && [ ! -e "$SOURCES" ]; then
  mv "$CACHE/windows-sources" "$SOURCES"
fi

apt_lists() {
  mkdir -p "$APT_DIR/lists/partial" "$APT_DIR/cache/archives/partial"
  local archive
  archive=$(sed -n 's/^URIs: *//p' /etc/apt/sources.list.d/debian.sources 2>/dev/null | head -1)
  archive=${archive:-http://deb.debian.org/debian}
  cat >"$APT_DIR/sources.list.new" <<EOF
deb-src $archive bookworm main
deb-src ${archive}-security bookworm-security main
deb-src $archive trixie main
deb-src $archive sid main
EOF
  local changed=0
  cmp -s "$APT_DIR/sources.list.new" "$APT_DIR/sources.list" || changed=1
  mv "$APT_DIR/sources.list.new" "$APT_DIR/sources.list"
  if [ $changed = 1 ] || [ -z "$(find "$APT_DIR/lists" -name '*Sources*' -mmin -1440 2>/dev/null | head -1)" ]; then
    log "reading Debian's source package lists"
    apt-get "${APT_OPTS[@]}" update -qq >&2
  fi
}

# Fetches the newest version of a source package that matches the pattern and
# whose upstream tarball the archive still serves; extracts it to $2. apt's
# own messages are kept and shown when no version could be fetched.
fetch_source() { # package pattern target
  local package=$1 pattern=$2 target=$3 version upstream tarball
  local versions apt_log="$SOURCES/$package.apt.log"
  : >"$apt_log"
  versions=$(apt-cache "${APT_OPTS[@]}" showsrc "$package" 2>>"$apt_log" | sed -n 's/^Version: //p' | sort -u |
    grep -E "$pattern" | sort -r -V || true)
  for version in $versions; do
    upstream=${version#*:}
    upstream=${upstream%-*}
    tarball=$(ls "$SOURCES/${package}_${upstream}".orig.tar.* 2>/dev/null | head -1 || true)
    if [ -z "$tarball" ]; then
      (cd "$SOURCES" && apt-get "${APT_OPTS[@]}" source --download-only -qq "$package=$version") >>"$apt_log" 2>&1 ||
        true
      tarball=$(ls "$SOURCES/${package}_${upstream}".orig.tar.* 2>/dev/null | head -1 || true)
    fi
    if [ -n "$tarball" ]; then
      rm -rf "$target"
      mkdir -p "$target"
      tar -xf "$tarball" -C "$target" --strip-components=1
      echo "$package $version"
      return 0
    fi
  done
  log "no source of $package matching $pattern could be fetched${versions:+ (tried: ${versions//$'\n'/ })}; apt said:"
  sed 's/^/  /' "$apt_log" >&2
  return 1
}

# Builds every library in LIBS into the keyed cache, or finds it there;
# prints the cache folder on standard output.
build_libraries() {
  local key final entry name package pattern licences fetched t0 started
  key=$(recipe | sha256sum | cut -c1-16)
  final="$CACHE/$KIND-deps/$key"
  if [ -f "$final/COMPLETE" ]; then
    log "cached: $final"
    echo "$final"
    return 0
  fi

  STAGE="$final"
  PREFIX="$STAGE"
  mkdir -p "$STAGE/licenses" "$STAGE/build" "$SOURCES"
  apt_lists
  started=$SECONDS
  for entry in "${LIBS[@]}"; do
    IFS='|' read -r name package pattern licences <<<"$entry"
    SRC="$STAGE/build/$name-src"
    BUILD="$STAGE/build/$name"
    if [ -f "$STAGE/.done-$name" ]; then
      log "$name already built (an unfinished cache resumed)"
      [ "$name" = zlib ] && ZLIB_SRC="$SRC"
      continue
    fi
    t0=$SECONDS
    fetched=$(fetch_source "$package" "$pattern" "$SRC")
    [ "$name" = zlib ] && ZLIB_SRC="$SRC"
    log "building $name ($fetched)"
    rm -rf "$BUILD"
    "build_$name"
    for file in $licences; do
      cat "$SRC/$file"
      echo
    done >"$STAGE/licenses/$name.txt"
    echo "$fetched" >"$STAGE/.done-$name"
    log "built $name in $((SECONDS - t0)) s"
  done

  # the installed libraries, their licences and versions; the build trees go
  cat "$STAGE"/.done-* >"$STAGE/versions.txt"
  rm -rf "$STAGE/build" "$STAGE"/bin "$STAGE"/share/doc "$STAGE"/share/man
  date -u +%FT%TZ >"$final/COMPLETE"
  log "all built in $((SECONDS - started)) s: $final ($(du -sh "$final" | cut -f1))"
  echo "$final"
}
