#!/usr/bin/env bash
# usage: release-tarball.sh [COMMIT [DIR]]. Writes DIR/quelvo-<version>.tar.gz (DIR: the
# current folder) from COMMIT (HEAD), the version taken from that commit's version block,
# and prints its path. One commit gives the same bytes each time: git archive stamps every
# file with the commit's time, and gzip -n leaves out the name and time.
# The recipes write the version their distributions want written: it is refused unless
# they all name this one.
set -euo pipefail
commit=${1:-HEAD}
dir=${2:-.}
repo=$(cd "$(dirname "$0")/.." && pwd)

show() { git -C "$repo" show "$commit:$1"; }
version=$(show src/resources/quelvo.rc | sed -n 's/.*"ProductVersion", "\(.*\)".*/\1/p')
declare -A recipes=(
  [debian/changelog]=$(show debian/changelog | sed -n '1s/^quelvo (\([^)-]*\)[^)]*).*/\1/p')
  [packaging/rpm/quelvo.spec]=$(show packaging/rpm/quelvo.spec | sed -n 's/^Version: *//p')
  [packaging/arch/PKGBUILD]=$(show packaging/arch/PKGBUILD | sed -n 's/^pkgver=//p')
)
for recipe in "${!recipes[@]}"; do
  if [ "${recipes[$recipe]}" != "$version" ]; then
    echo "$recipe names version '${recipes[$recipe]}', the version block $version" >&2
    exit 1
  fi
done

tarball=$dir/quelvo-$version.tar.gz
git -C "$repo" archive --format=tar --prefix="quelvo-$version/" "$commit" | gzip -9n >"$tarball"
echo "$tarball"
