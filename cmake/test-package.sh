#!/bin/sh
# Checks the checksum beside a package that cpack made, unpacks the package
# into a temporary folder and checks what a user gets, then runs the plmn
# inside on the example file:
#  - any package: PACKAGE.sha256 beside it names it, and `sha256sum -c`
#    accepts it;
#  - a .deb: its name, version and section, its dependencies, its licence,
#    changelog, man page and the awk program of the README's recipes;
#    where lintian is installed, it must report no
#    error and no warning, and even among its pedantic and informational
#    tags no hardening tag and no unneeded section; where hardening-check
#    (Debian: devscripts) is installed, it must find the binary a PIE, with
#    the stack protector, fortified functions, read-only relocations and
#    immediate binding;
#  - a static .tar.gz: one folder of the archive's name holding bin/plmn,
#    share/man/man1/plmn.1, README.md, LICENSE and examples/tolist.awk, and a
#    plmn that `file` calls statically linked, a static PIE where the
#    toolchain makes one;
#  - the package's awk program turns the example modem log, and the
#    example binary file through od, into the list that the plmn inside
#    lists as the example file.
#
# Usage: test-package.sh PACKAGE_DIR VERSION EXAMPLES_DIR [EMULATOR ...]
# The emulator's words, if any, run the plmn of a cross build. From the
# environment: PLMN_STATIC_PIE=yes where the toolchain makes a static PIE;
# PLMN_HARDENING_UNCHECKED, the reason why a build has not all the
# protections, if it has not.
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

checksum=$package.sha256
[ -f "$checksum" ] || fail "no checksum $(basename "$checksum") beside it"
check "the package the checksum names" "$(cut -d' ' -f3- "$checksum")" "$(basename "$package")"
(cd "$(dirname "$package")" && sha256sum -c "$(basename "$checksum")") ||
  fail "the checksum in $(basename "$checksum") does not match"

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
      usr/share/doc/plmn/changelog.gz usr/share/doc/plmn/examples/tolist.awk
    program=$top/usr/bin/plmn
    converter=$top/usr/share/doc/plmn/examples/tolist.awk
    if command -v lintian >/dev/null; then
      # Its findings go to standard output. Standard error only matters when
      # it fails: as root it always says there that it runs as root.
      if ! lintian --pedantic --display-info --fail-on error,warning "$package" >"$root/lintian.out" \
        2>"$root/lintian.err"; then
        cat "$root/lintian.out" "$root/lintian.err" >&2
        exit 1
      fi
      cat "$root/lintian.out"
      # These tags are only informational, but a package to ship has none.
      tags="binary-has-unneeded-section"
      [ -n "${PLMN_HARDENING_UNCHECKED:-}" ] || tags="$tags|hardening-"
      if grep -E "$tags" "$root/lintian.out" >&2; then
        fail "lintian finds the binary unprotected or with an unneeded section"
      fi
    else
      echo "lintian is not installed: the package is not checked by it"
    fi
    if [ -n "${PLMN_HARDENING_UNCHECKED:-}" ]; then
      echo "the binary's protections are not checked: ${PLMN_HARDENING_UNCHECKED}"
    elif command -v hardening-check >/dev/null; then
      # Its status also counts protections that this toolchain cannot give
      # (Debian 12's start files are not marked for Intel CET, so neither
      # is the binary): the five lines that count are checked one by one.
      hardening-check "$program" >"$root/hardening" || true
      cat "$root/hardening"
      for protection in "Position Independent Executable" "Stack protected" \
        "Fortify Source functions" "Read-only relocations" "Immediate binding"; do
        grep -q "^ $protection: yes" "$root/hardening" ||
          fail "hardening-check does not say yes to: $protection"
      done
    else
      echo "hardening-check is not installed (Debian: devscripts): the binary's protections" \
        "are not checked"
    fi
    ;;
  *.tar.gz)
    name=$(basename "$package" .tar.gz)
    # Its files are dated by the changelog's top released entry, which may
    # be ahead of the clock: tar need not warn of it.
    tar --warning=no-timestamp -xzf "$package" -C "$root"
    check "folders at the top" "$(ls "$root")" "$name"
    top=$root/$name
    has_files bin/plmn share/man/man1/plmn.1 README.md LICENSE examples/tolist.awk
    program=$top/bin/plmn
    converter=$top/examples/tolist.awk
    # A static PIE is "static-pie linked"; plainly static, "statically linked".
    linked=$(file -b "$program")
    echo "bin/plmn: $linked"
    case $linked in
      *"static-pie linked"*) ;;
      *"statically linked"*)
        [ "${PLMN_STATIC_PIE:-no}" != yes ] || fail "bin/plmn is not a static PIE: $linked"
        ;;
      *) fail "bin/plmn is not statically linked: $linked" ;;
    esac
    ;;
esac

"$@" "$program" "$examples/oplmnwact.txt" >"$root/listing"
cmp "$root/listing" "$examples/oplmnwact.listing"
awk -v file=28513 -f "$converter" "$examples/oplmnwact-crsm.log" >"$root/list.txt"
"$@" "$program" "$root/list.txt" >"$root/listing"
cmp "$root/listing" "$examples/oplmnwact.listing"
od -An -v -tx1 "$examples/oplmnwact.bin" | awk -v file=28513 -f "$converter" >"$root/list.txt"
"$@" "$program" "$root/list.txt" >"$root/listing"
cmp "$root/listing" "$examples/oplmnwact.listing"
echo "$package: plmn $version lists the example, and the example log and binary file" \
  "through its tolist.awk"
