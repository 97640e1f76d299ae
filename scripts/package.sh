#!/usr/bin/env bash
# usage: package.sh deb|deb-clean|rpm|arch [DIR [COMMIT]]. Builds one family's package as its own
# tools do, from the release tarball of COMMIT (HEAD) in a clean DIR (build/package/FAMILY),
# with two jobs, and prints the package's path; the log is DIR/build.log. RPMBUILD_OPTIONS
# and MAKEPKG_OPTIONS add options (--nodeps where the family's build dependencies cannot be
# installed, as on Debian), DEB_BUILD_OPTIONS Debian's (nocheck).
set -euo pipefail
family=$1
repo=$(cd "$(dirname "$0")/.." && pwd)
dir=$(realpath -m "${2:-$repo/build/package/$family}")
rm -rf "$dir"
mkdir -p "$dir"
tarball=$("$repo/scripts/release-tarball.sh" "${3:-HEAD}" "$dir")
name=$(basename "$tarball" .tar.gz)
version=${name#quelvo-}
exec 3>&1 >"$dir/build.log" 2>&1

case $family in
deb | deb-clean)
  # The release tarball is the upstream one of a 3.0 (quilt) source package; debian/,
  # which it leaves out, comes from the same commit.
  mv "$tarball" "$dir/quelvo_$version.orig.tar.gz"
  tar -C "$dir" -xzf "$dir/quelvo_$version.orig.tar.gz"
  git -C "$repo" archive --prefix=debian/ "${3:-HEAD}:debian" | tar -C "$dir/$name" -x
  if [ "$family" = deb ]; then
    (cd "$dir/$name" && DEB_BUILD_OPTIONS="parallel=2 ${DEB_BUILD_OPTIONS:-}" dpkg-buildpackage -us -uc)
  else
    # In a chroot of this system's release that holds only build-essential and what
    # Build-Depends names, from Debian's mirror: a build dependency forgotten stops the build.
    suite=$(. /etc/os-release && echo "$VERSION_CODENAME")
    mmdebstrap --variant=buildd --mode=root --customize-hook='mkdir "$1/build"' \
      --customize-hook="copy-in $dir/$name /build" \
      --customize-hook="chroot \"\$1\" apt-get -y -q build-dep /build/$name" \
      --customize-hook="chroot \"\$1\" sh -c 'cd /build/$name && DEB_BUILD_OPTIONS=parallel=2 dpkg-buildpackage -us -uc -b'" \
      --customize-hook="sync-out /build $dir" "$suite" /dev/null "deb http://deb.debian.org/debian $suite main"
  fi
  package=$dir/quelvo_$(cd "$dir/$name" && dpkg-parsechangelog -S Version)_$(dpkg --print-architecture).deb ;;
rpm)
  mkdir "$dir/SOURCES"
  mv "$tarball" "$dir/SOURCES/"
  tar -xzOf "$dir/SOURCES/$name.tar.gz" "$name/packaging/rpm/quelvo.spec" >"$dir/quelvo.spec"
  # --noclean keeps the build folder to look into.
  rpmbuild -ba --noclean --define "_topdir $dir" --define '_smp_build_ncpus 2' \
    ${RPMBUILD_OPTIONS:-} "$dir/quelvo.spec"
  package=$(echo "$dir"/RPMS/*/"$name"-*.rpm) ;;
arch)
  tar -xzOf "$tarball" "$name/packaging/arch/PKGBUILD" >"$dir/PKGBUILD"
  # makepkg refuses root: run as root, it builds as nobody.
  as_builder=()
  [ "$(id -u)" -ne 0 ] || { chown -R nobody "$dir" && as_builder=(runuser -u nobody -- env -i "PATH=$PATH" "HOME=$dir"); }
  # The sum of this tarball, as makepkg -g gives it for a published one (the last one counts).
  (cd "$dir" && "${as_builder[@]}" makepkg -g >>PKGBUILD &&
    "${as_builder[@]}" env CMAKE_BUILD_PARALLEL_LEVEL=2 makepkg ${MAKEPKG_OPTIONS:-})
  package=$(echo "$dir/$name-$(sed -n 's/^pkgrel=//p' "$dir/PKGBUILD")-$(uname -m)".pkg.tar.*) ;;
*)
  echo "usage: package.sh deb|deb-clean|rpm|arch [DIR [COMMIT]]" >&2
  exit 2 ;;
esac
echo "$package" >&3
