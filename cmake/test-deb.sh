#!/bin/sh
# Unpacks the .deb that cpack made into a temporary folder and checks what a
# user gets: the package's name and version, its licence, changelog and man
# page, and a plmn that lists the example file. Where lintian is installed,
# it must report nothing: no error and no warning.
#
# Usage: test-deb.sh PACKAGE_DIR VERSION EXAMPLES_DIR
set -eu
package_dir=$1 version=$2 examples=$3

set -- "$package_dir"/plmn_"$version"_*.deb
if [ $# -ne 1 ] || [ ! -f "$1" ]; then
  echo "expected one plmn_${version}_*.deb in $package_dir, found: $*" >&2
  exit 1
fi
package=$1

root=$(mktemp -d "${TMPDIR:-/tmp}/plmn-deb.XXXXXX")
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$package" "$root"

check() {
  if [ "$2" != "$3" ]; then
    echo "$1: expected '$3', got '$2'" >&2
    exit 1
  fi
}
check Package "$(dpkg-deb -f "$package" Package)" plmn
check Version "$(dpkg-deb -f "$package" Version)" "$version"
check Section "$(dpkg-deb -f "$package" Section)" utils
case $(dpkg-deb -f "$package" Depends) in
  *libc6*) ;;
  *) echo "Depends does not name libc6: $(dpkg-deb -f "$package" Depends)" >&2; exit 1 ;;
esac
for path in usr/share/man/man1/plmn.1.gz usr/share/doc/plmn/copyright usr/share/doc/plmn/changelog.gz; do
  test -f "$root/$path" || { echo "no $path in the package" >&2; exit 1; }
done

if command -v lintian >/dev/null; then
  # Its findings go to standard output. Standard error only matters when it
  # fails: as root it always says there that it runs as root.
  if ! lintian --fail-on error,warning "$package" 2>"$root/lintian.err"; then
    cat "$root/lintian.err" >&2
    exit 1
  fi
else
  echo "lintian is not installed: the package is not checked by it"
fi

"$root/usr/bin/plmn" "$examples/oplmnwact.txt" >"$root/listing"
cmp "$root/listing" "$examples/oplmnwact.listing"
echo "$package: plmn $version lists the example"
