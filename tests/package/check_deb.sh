#!/usr/bin/env bash
# usage: check_deb.sh BUILD_DIR VERSION_RC. The package cpack made: its files, dependencies,
# lintian's verdict, its binary, which must tell the version of the Windows version block,
# and the same package again from a second build of the same source elsewhere.
set -euo pipefail
version=$(sed -n 's/.*"ProductVersion", "\(.*\)".*/\1/p' "$2")
deb=$1/quelvo_${version}_$(dpkg --print-architecture).deb
source=$(cd "$(dirname "$0")/../.." && pwd)

want="./usr/bin/quelvo
./usr/bin/quelvo-idle
./usr/lib/systemd/user/quelvo-idle.service
./usr/libexec/xscreensaver/quelvo -> ../../bin/quelvo
./usr/share/applications/screensavers/quelvo.desktop
./usr/share/doc/quelvo/changelog.gz
./usr/share/doc/quelvo/copyright
./usr/share/man/man1/quelvo-idle.1.gz
./usr/share/man/man6/quelvo.6.gz
./usr/share/xscreensaver/config/quelvo.xml"
got=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { $1 = $2 = $3 = $4 = $5 = ""; sub(/^ +/, ""); print }' | sort)
diff <(echo "$want") <(echo "$got")

# fonts-liberation named, the libraries found by dpkg-shlibdeps.
dpkg-deb -f "$deb" Depends | grep -qE '^fonts-liberation, .*libx11-6, .*libxss1'

# Not even an informational tag: the hardening ones would say the binary lacks Debian's flags.
tags=$(lintian -I --fail-on none "$deb" 2>/dev/null)
[ -z "$tags" ] || { echo "$tags" >&2; exit 1; }

tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
dpkg-deb -x "$deb" "$tree"
for binary in usr/bin/quelvo usr/libexec/xscreensaver/quelvo; do
  [ "$("$tree/$binary" --version)" = "quelvo $version" ]
done
"$tree/usr/bin/quelvo" --help | grep -qz -e '--window-id.*XSCREENSAVER_WINDOW'
# No menu lists a command that takes over the screen; the one saver front end that reads
# this folder does.
grep -qx 'OnlyShowIn=MATE;' "$tree/usr/share/applications/screensavers/quelvo.desktop"
cmp <(sed -n '/^ Permission/,$ { s/^ \.$//; s/^ //; p }' "$tree/usr/share/doc/quelvo/copyright") \
  <(sed -n '/^Permission/,$p' "$source/LICENSE")

# Reproducible: the files of this source (committed or not) copied elsewhere, built again
# later with the last commit's time as SOURCE_DATE_EPOCH (the copy has no history), give
# the same package byte for byte.
copy=$tree/copy
mkdir "$copy"
git -C "$source" ls-files -z -co --exclude-standard | tar -C "$source" --null -T - -cf - |
  tar -C "$copy" -xf -
export SOURCE_DATE_EPOCH=$(git -C "$source" log -1 --format=%ct)
(cd "$copy" && cmake --preset native >/dev/null &&
  cmake --build build/native --target quelvo quelvo_docs -j2 >/dev/null &&
  cd build/native && cpack -G DEB >/dev/null)
cmp "$deb" "$copy/build/native/$(basename "$deb")"
