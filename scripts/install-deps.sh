#!/bin/sh
# Installs what building, testing and running k352_4 needs on Debian 12 (skips what is there).
set -e
PACKAGES="cmake g++ make qt6-base-dev qt6-serialport-dev qt6-svg-dev libqcustomplot-dev qt6-l10n-tools qt6-tools-dev qt6-translations-l10n xvfb xauth imagemagick poppler-utils help2man desktop-file-utils appstream shared-mime-info file man-db dpkg-dev pkg-config libmosquitto-dev mosquitto mosquitto-clients"
missing=""
for p in $PACKAGES; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
$SUDO apt-get update -qq || true
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq $missing
