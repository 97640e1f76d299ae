#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Quelvo needs.
# Idempotent and non-interactive: packages already present are left alone.
set -euo pipefail

packages=(
  # build and unit tests
  cmake g++ ninja-build clang-format libgtest-dev libgmock-dev libbenchmark-dev
  # the X11 platform and its tests
  libx11-dev libxft-dev libxrender-dev libxext-dev libxss-dev libxfixes-dev zlib1g-dev libfontconfig-dev
  fonts-liberation xvfb xauth x11-utils x11-apps xdotool
  # the client-side renderer: FreeType glyphs composed with pixman
  libpixman-1-dev libfreetype-dev
  # the Wayland platform: client library and wayland-scanner, protocol descriptions, keymaps
  libwayland-dev wayland-protocols libxkbcommon-dev
  # the Wayland tests: headless compositors, their pictures and input, mutter's session bus
  sway weston mutter dbus grim wtype wayland-utils python3-dbus
  # the Windows build and its tests
  g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 wine wine64 python3
  # monitors, idle daemons and packaging
  libxrandr-dev libxinerama-dev xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils
  xscreensaver dpkg-dev file lintian nsis zip unzip imagemagick
  # quelvo-idle: sd-event and sd-bus, KDE's idle protocol, KWin for its tests, the test's
  # D-Bus callers (python3-dbus on GLib) and gsettings for GNOME's idle delay
  libsystemd-dev plasma-wayland-protocols kwin-wayland python3-gi libglib2.0-bin
  # quelvo-idle's tests: busctl on its bus, dbus-monitor for its signals, Xwayland
  systemd dbus-bin xwayland
  # the distributions' recipes and their checks: Debian's source package (dpkg-buildpackage,
  # lintian, autopkgtest), Fedora's (rpmbuild, rpmlint, desktop-file-validate) and Arch's
  # (makepkg, which packs with bsdtar and zstd, and splits debug symbols with debugedit);
  # Fedora's %check validates the metainfo with appstream-util
  debhelper devscripts fakeroot autopkgtest pkgconf rpm rpmlint desktop-file-utils makepkg appstream-util
  pacman-package-manager libarchive-tools zstd debugedit
  # the Wayland saver's chain: an idle tool whose later stage must come while the rain runs
  swayidle
  # fuzzing, profiling and soak measurements
  clang libfuzzer-14-dev linux-perf xrestop strace
  # quelvo-settings: GTK 4 and libadwaita, its translations' template, its icons from the
  # program's picture; its tests read the accessibility tree (Debian's own python3) and run
  # systemd's autostart generator; appstreamcli checks the metainfo
  libgtk-4-dev libadwaita-1-dev gettext librsvg2-bin python3-pyatspi at-spi2-core systemd appstream
  # the two-monitor Xorg's DPMS: scripts/xorg_dpms.c is built against the server's headers
  xserver-xorg-dev pkg-config
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
