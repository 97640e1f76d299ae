#!/usr/bin/env bash
# usage: check_deb.sh BUILD_DIR VERSION_RC. The package cpack made: its files, dependencies,
# lintian's verdict, and its binary, which must tell the version of the Windows version block.
set -euo pipefail
version=$(sed -n 's/.*"ProductVersion", "\(.*\)".*/\1/p' "$2")
deb=$1/quelvo_${version}_$(dpkg --print-architecture).deb

want="./usr/bin/quelvo
./usr/libexec/xscreensaver/quelvo -> ../../bin/quelvo
./usr/share/applications/screensavers/quelvo.desktop
./usr/share/doc/quelvo/changelog.gz
./usr/share/doc/quelvo/copyright
./usr/share/man/man6/quelvo.6.gz
./usr/share/xscreensaver/config/quelvo.xml"
got=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { $1 = $2 = $3 = $4 = $5 = ""; sub(/^ +/, ""); print }' | sort)
diff <(echo "$want") <(echo "$got")

# fonts-liberation named, the libraries found by dpkg-shlibdeps.
dpkg-deb -f "$deb" Depends | grep -qE '^fonts-liberation, .*libx11-6, .*libxss1'

lintian --fail-on error "$deb"

tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
dpkg-deb -x "$deb" "$tree"
for binary in usr/bin/quelvo usr/libexec/xscreensaver/quelvo; do
  [ "$("$tree/$binary" --version)" = "quelvo $version" ]
done
"$tree/usr/bin/quelvo" --help | grep -qz -e '--window-id.*XSCREENSAVER_WINDOW'
