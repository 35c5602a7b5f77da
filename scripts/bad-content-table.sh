#!/usr/bin/env bash
# Writes docs/bad-content.md anew from the bad-content test: builds
# badcontent_tests (and with it the content) into build/, runs every case in
# the build folder under a private Xvfb with FELIDORA_BADCONTENT_TABLE naming a
# scratch file, and replaces the document only when every case passed. The
# binary makes its cases from the content folders, so the document has a row
# for every content file.
#
# Usage (from anywhere): scripts/bad-content-table.sh   (about ten minutes on 2 cores)
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"

BUILD=build
cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$BUILD" -j"$(nproc)" --target badcontent_tests

source scripts/xvfb.sh
trap stop_xvfb EXIT
start_xvfb

TABLE="$(mktemp /tmp/felidora-bad-content.XXXXXX)"
status=0
(cd "$BUILD" && FELIDORA_BADCONTENT_TABLE="$TABLE" ./tests/badcontent_tests --gtest_brief=1) || status=$?
if [ "$status" -ne 0 ]; then
  echo "some cases failed (status $status): docs/bad-content.md left as it was; the table is in $TABLE" >&2
  exit "$status"
fi
mv "$TABLE" docs/bad-content.md
chmod 644 docs/bad-content.md
echo "docs/bad-content.md written: $(sed -n 3p docs/bad-content.md | grep -o '[0-9]* cases')"
