#!/usr/bin/env bash
# usage: check.sh deps|deb|rpm|arch WORK. deps: build_deps.py. Else one family's package from the
# working tree: every unit test program's tests in its build, its linter, its dependencies,
# and its files: what `cmake --install` of its build gives, and the family's own (none forgotten).
set -euo pipefail
family=$1 work=$2
[ "$family" != deps ] || { mkdir -p "$work" && exec "$(dirname "$0")/build_deps.py" "$work"; }
[ "$family" != deb ] || [ "$(id -u)" -eq 0 ] || { echo "autopkgtest's overlay needs root"; exit 77; }
src=$(cd "$(dirname "$0")/../.." && pwd) here=$(cd "$(dirname "$0")" && pwd) tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
# The working tree as a commit of its own, leaving HEAD and the index alone.
mkdir -p "$work" && cp "$(git -C "$src" rev-parse --path-format=absolute --git-path index)" "$work/index"
GIT_INDEX_FILE=$work/index git -C "$src" add -A
commit=$(git -C "$src" commit-tree -m tree "$(GIT_INDEX_FILE=$work/index git -C "$src" write-tree)")
# Its release tarball, twice the same bytes, without what is not source or is Debian's.
cmp "$("$src/scripts/release-tarball.sh" "$commit" "$work")" \
  "$("$src/scripts/release-tarball.sh" "$commit" "$tmp")"
tar -tzf "$work"/quelvo-*.tar.gz | { ! grep -E '^[^/]+/(\.ci/|\.gitignore|\.clang-format|debian/)'; }

export RPMBUILD_OPTIONS="--nodeps --load $here/fedora.macros" MAKEPKG_OPTIONS="--nodeps --config $here/makepkg.conf"
# Warnings Debian's build adds may not fail it; Arch's builds with Arch's flags, LTO and zstd.
export DEB_CFLAGS_APPEND="-Wdouble-promotion -Wconversion -Wshadow"; export DEB_CXXFLAGS_APPEND=$DEB_CFLAGS_APPEND
dir=$work/$family root=$work/root
package=$("$src/scripts/package.sh" "$family" "$dir" "$commit") || { tail -30 "$dir/build.log"; exit 1; }
rm -rf "$root" && mkdir "$root"
sonames() { objdump -p "$root"/usr/bin/* | awk '$1 == "NEEDED" { print $2 }' | sort -u; }
case $family in
deb)
  # Not even a pedantic or experimental tag; autopkgtest against the .deb installed in an
  # overlay of this system that is thrown away, leaving the machine as it was.
  lintian -I -E --pedantic "${package%.deb}.changes" "$dir"/*.dsc "$package" 2>/dev/null | { ! grep .; }
  unshare -m bash -ec 'b=$(mktemp -d) && mount -t tmpfs tmpfs $b && mkdir $b/u $b/w $b/r
    mount -t overlay o -o lowerdir=/,upperdir=$b/u,workdir=$b/w $b/r && mount --rbind /dev $b/r/dev
    mount -t proc proc $b/r/proc && mount -t tmpfs tmpfs $b/r/tmp
    rm -f $b/r/var/lib/man-db/auto-update  # no rebuild of the whole man index on every install
    autopkgtest "$0" "$1" -- chroot $b/r' "$package" "$dir"/quelvo-*/ >"$dir/autopkgtest.log" 2>&1 ||
    { tail -20 "$dir/autopkgtest.log"; exit 1; }
  for case in smoke idle settings; do grep -qE "^$case +PASS" "$dir/autopkgtest.log"; done
  grep -q 'warning: .*-Wdouble-promotion' "$dir/build.log"
  dpkg-deb -x "$package" "$root"
  depends=$(dpkg-deb -f "$package" Depends | sed 's/([^)]*)//g; s/[ ,]\+/\n/g')
  grep -qx fonts-liberation <<<"$depends"
  for soname in $(sonames); do
    grep -qx "$(dpkg -S "*/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/$soname" | sed 's/:.*//; 1q')" <<<"$depends"
  done
  build=$(echo "$dir"/quelvo-*/obj-*) extras=(/usr/share/doc/quelvo/{changelog.Debian.gz,copyright,README.md.gz}
    /usr/share/lintian/overrides/quelvo) ;;
rpm)
  # rpmlint with Fedora's settings (rpmlint.toml); the package installed into an empty root.
  rpmlint -c "$here/rpmlint.toml" "$dir/quelvo.spec" "$package" "$dir"/SRPMS/*.rpm | tee /dev/stderr | grep ' 0 errors' >/dev/null
  rpm --root "$root" --dbpath /var/lib/rpm -i --nodeps --noscripts "$package" 2>/dev/null
  requires=$(rpm -qpR "$package")
  for r in 'font(liberationsans)' hicolor-icon-theme $(sonames | sed 's/$/()(64bit)/'); do grep -qxF "$r" <<<"$requires"; done
  # Not the package's: the database, and the binary's link by build id (as on Fedora).
  rm -r "$root/var" "$root/usr/lib/.build-id"
  build=$(echo "$dir"/BUILD/quelvo-*/redhat-linux-build) extras=(/usr/share/licenses/quelvo/LICENSE /usr/share/doc/quelvo/README.md) ;;
arch)
  tar -C "$root" -xf "$package"
  grep -qx 'license = MIT' "$root/.PKGINFO"
  declare -A arch=([libc.so.6]=glibc [libm.so.6]=glibc [libstdc++.so.6]=gcc-libs [libgcc_s.so.1]=gcc-libs
    [libfontconfig.so.1]=fontconfig [libfreetype.so.6]=freetype2 [libpixman-1.so.0]=pixman [libX11.so.6]=libx11
    [libwayland-client.so.0]=wayland [libwayland-cursor.so.0]=wayland [libxkbcommon.so.0]=libxkbcommon
    [libXft.so.2]=libxft [libXinerama.so.1]=libxinerama [libXrandr.so.2]=libxrandr [libXrender.so.1]=libxrender
    [libXss.so.1]=libxss [libsystemd.so.0]=systemd-libs [libXext.so.6]=libxext
    [libgtk-4.so.1]=gtk4 [libadwaita-1.so.0]=libadwaita [libcairo.so.2]=cairo [libglib-2.0.so.0]=glib2
    [libgobject-2.0.so.0]=glib2 [libgio-2.0.so.0]=glib2
    [font]=ttf-liberation [icons]=hicolor-icon-theme)
  for soname in $(sonames) font icons; do grep -qx "depend = ${arch[$soname]:-?}" "$root/.PKGINFO"; done
  rm "$root"/.PKGINFO "$root"/.BUILDINFO "$root"/.MTREE
  build=$dir/src/build extras=(/usr/share/licenses/quelvo/LICENSE /usr/share/doc/quelvo/README.md) ;;
esac

# Every unit test program the build made, all of its tests, and nothing but them, ran and passed.
# The programs are those gtest_discover_tests registered, each beside its list of tests.
programs=$(find "$build/tests" -name '*_unit_tests\[1\]_include.cmake' | sed 's/\[1\]_include\.cmake$//')
for program in $programs; do [ -x "$program" ]; done
count=$(for p in $programs; do "$p" --gtest_list_tests; done | grep -c '^  ')
grep -q "100% tests passed, 0 tests failed out of $count\$" "$dir/build.log"
grep -qx 'QUELVO_BENCHMARKS:BOOL=OFF' "$build/CMakeCache.txt"
[ "$("$root/usr/bin/quelvo" --version)" = "quelvo $(sed -n 's/.*"ProductVersion", "\(.*\)".*/\1/p' "$src/src/resources/quelvo.rc")" ]
files() { (cd "$1" && find . ! -type d | sed 's/^\.//' | LC_ALL=C sort); }
DESTDIR=$tmp/installed cmake --install "$build" --prefix /usr >/dev/null
diff <({ files "$tmp/installed"; printf '%s\n' "${extras[@]}"; } | LC_ALL=C sort) <(files "$root")
# A prefix in the home folder puts the user unit where systemd --user looks for a user's own.
HOME=$tmp/home cmake --install "$build" --prefix "$tmp/home/.local" >/dev/null
grep -qx "ExecStart=$tmp/home/.local/bin/quelvo-idle" "$tmp/home/.local/share/systemd/user/quelvo-idle.service"
