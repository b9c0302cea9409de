#!/bin/sh
# Installs, with apt-get, every Debian package Tevora needs to build, run and test,
# and only those that are missing.
set -e
packages="cmake g++ make pkg-config qt6-base-dev qt6-base-private-dev libgl-dev libcups2-dev \
cups-daemon libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev \
fonts-ipafont-gothic fonts-ipafont-mincho qt6-translations-l10n xvfb xauth \
libpulse-dev poppler-utils openbox xfwm4 metacity dbus-daemon libxcb1-dev libxcb-xtest0-dev"
# The print tests render a printout's pages with poppler's pdftoppm. The window
# placement tests run windows on an Xvfb display under openbox, xfwm4 (with its
# settings service on a message bus of its own) and metacity, and click there
# through the X server's XTest extension.
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
[ "$(id -u)" -ne 0 ] && SUDO=sudo
$SUDO apt-get update
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends $missing
