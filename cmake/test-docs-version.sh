#!/bin/sh
# Fails where README.md, CONTRIBUTING.md or doc/*.md names a version of
# plmn: the one being built, or any of doc/changelog. A version is named in
# CMakeLists.txt, doc/changelog and the man page only, so that a new one
# changes no document; the documents' commands match the packages' names
# with `*` in its place (plmn_*_amd64.deb).
#
# Usage: test-docs-version.sh SOURCE_DIR VERSION
set -eu
cd "$1"
versions=$({ echo "$2"; sed -n 's/^plmn (\([^)]*\)).*/\1/p' doc/changelog; } | sort -u)
found=0
for version in $versions; do
  # The version as a whole: not 1.1.0 in 11.1.0, 1.1.0.1 or 2.1.1.0.
  pattern="(^|[^0-9.])$(printf '%s' "$version" | sed 's/\./\\./g')(\$|[^0-9.]|\.[^0-9]|\.\$)"
  if grep -nE "$pattern" README.md CONTRIBUTING.md doc/*.md; then
    echo "the lines above name version $version: write * or VERSION in its place" >&2
    found=1
  fi
done
exit $found
