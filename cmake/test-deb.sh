#!/bin/sh
# Unpacks the .deb that cpack made into a temporary folder and checks what a
# user gets: the package's name and version, a man page, and a plmn that
# lists the example file.
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
test -f "$root/usr/share/man/man1/plmn.1" || { echo "no usr/share/man/man1/plmn.1" >&2; exit 1; }

"$root/usr/bin/plmn" "$examples/oplmnwact.txt" >"$root/listing"
cmp "$root/listing" "$examples/oplmnwact.listing"
echo "$package: plmn $version lists the example"
