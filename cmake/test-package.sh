#!/bin/sh
# Unpacks a package that cpack made into a temporary folder and checks what a
# user gets, then runs the plmn inside on the example file:
#  - a .deb: its name, version and section, its dependencies, its licence,
#    changelog and man page; where lintian is installed, it must report
#    nothing, no error and no warning;
#  - a static .tar.gz: one folder of the archive's name holding bin/plmn,
#    share/man/man1/plmn.1, README.md and LICENSE, and a plmn that `file`
#    calls statically linked.
#
# Usage: test-package.sh PACKAGE_DIR VERSION EXAMPLES_DIR [EMULATOR ...]
# The emulator's words, if any, run the plmn of a cross build.
set -eu
package_dir=$1 version=$2 examples=$3
shift 3

for package in "$package_dir"/plmn_"$version"_*.deb "$package_dir"/plmn-"$version"-linux-*.tar.gz; do
  [ -f "$package" ] && break
done
if [ ! -f "$package" ]; then
  echo "expected a plmn $version .deb or .tar.gz in $package_dir" >&2
  exit 1
fi

root=$(mktemp -d "${TMPDIR:-/tmp}/plmn-package.XXXXXX")
trap 'rm -rf "$root"' EXIT

fail() {
  echo "$package: $*" >&2
  exit 1
}
check() {
  [ "$2" = "$3" ] || fail "$1: expected '$3', got '$2'"
}
has_files() {
  for path in "$@"; do
    [ -f "$top/$path" ] || fail "no $path in the package"
  done
}

case $package in
  *.deb)
    dpkg-deb -x "$package" "$root"
    top=$root
    check Package "$(dpkg-deb -f "$package" Package)" plmn
    check Version "$(dpkg-deb -f "$package" Version)" "$version"
    check Section "$(dpkg-deb -f "$package" Section)" utils
    case $(dpkg-deb -f "$package" Depends) in
      *libc6*) ;;
      *) fail "Depends does not name libc6: $(dpkg-deb -f "$package" Depends)" ;;
    esac
    has_files usr/bin/plmn usr/share/man/man1/plmn.1.gz usr/share/doc/plmn/copyright \
      usr/share/doc/plmn/changelog.gz
    program=$top/usr/bin/plmn
    if command -v lintian >/dev/null; then
      # Its findings go to standard output. Standard error only matters when
      # it fails: as root it always says there that it runs as root.
      if ! lintian --fail-on error,warning "$package" 2>"$root/lintian.err"; then
        cat "$root/lintian.err" >&2
        exit 1
      fi
    else
      echo "lintian is not installed: the package is not checked by it"
    fi
    ;;
  *.tar.gz)
    name=$(basename "$package" .tar.gz)
    tar -xzf "$package" -C "$root"
    check "folders at the top" "$(ls "$root")" "$name"
    top=$root/$name
    has_files bin/plmn share/man/man1/plmn.1 README.md LICENSE
    program=$top/bin/plmn
    # A static PIE is "static-pie linked"; plainly static, "statically linked".
    case $(file -b "$program") in
      *"statically linked"* | *"static-pie linked"*) ;;
      *) fail "bin/plmn is not statically linked: $(file -b "$program")" ;;
    esac
    ;;
esac

"$@" "$program" "$examples/oplmnwact.txt" >"$root/listing"
cmp "$root/listing" "$examples/oplmnwact.listing"
echo "$package: plmn $version lists the example"
