#!/bin/sh
# Installs, with apt-get, every Debian package Tevora needs to build, run and test,
# and only those that are missing.
set -e
packages="cmake g++ make pkg-config qt6-base-dev qt6-base-private-dev libgl-dev libcups2-dev \
cups-daemon libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev \
fonts-ipafont-gothic fonts-ipafont-mincho qt6-translations-l10n xvfb xauth \
libpulse-dev poppler-utils openbox xfwm4 metacity dbus-daemon libxcb1-dev libxcb-xtest0-dev \
qt6-wayland weston mutter xwayland xdotool x11-utils"
# The print tests render a printout's pages with poppler's pdftoppm. The window
# placement tests run windows on an Xvfb display under openbox, xfwm4 (with its
# settings service on a message bus of its own) and metacity, and click there
# through the X server's XTest extension. The Wayland tests run the program in a
# Wayland session (weston, or GNOME's mutter with a session bus of its own, each
# with XWayland or without) shown on an Xvfb display, with Qt's Wayland plugin
# installed as desktops have it, and drive it with xdotool; xwininfo tells where
# the X server has a window.
# The voice memo tests start a PulseAudio server of their own and drive it with
# pactl and parec. A desktop whose sound runs on PipeWire keeps it (those tests
# are then skipped).
dpkg-query -W -f='${Status}' pipewire-pulse 2>/dev/null | grep -q "install ok installed" \
  || packages="$packages pulseaudio pulseaudio-utils"
missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  # A normal user installs through sudo; without it, say what to do.
  if ! command -v sudo >/dev/null 2>&1; then
    echo "Installing packages needs root (and there is no sudo here). Missing packages:$missing" >&2
    echo "As root, run: apt-get install --no-install-recommends$missing" >&2
    exit 1
  fi
  SUDO=sudo
fi
$SUDO apt-get update
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends $missing
