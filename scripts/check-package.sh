#!/bin/sh
# Builds the Debian package in BUILD (default: build), shows its control data and contents, installs it
# with apt (which pulls in what it depends on) and starts the installed programs: k352-cli and k352-sim
# print their versions, and k352 runs on the simulated meter under a virtual display for SECONDS (default
# 8) without ending on its own. Run as root or with sudo at hand.
set -e
cd "$(dirname "$0")/.."
build=${1:-build}
seconds=${2:-8}
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
rm -f "$build"/k352_*.deb
(cd "$build" && cpack -G DEB)
deb=$(ls "$build"/k352_*.deb)
dpkg-deb -I "$deb"
dpkg-deb -c "$deb"
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "$(realpath "$deb")"
cd /tmp
/usr/bin/k352-cli --version
/usr/bin/k352-sim --version
# k352 has no end of its own: still running after the timeout (status 124) is the pass.
status=0
xvfb-run -a timeout "$seconds" /usr/bin/k352 --demo --lang en || status=$?
if [ "$status" -ne 124 ]; then
    echo "k352 ended with status $status within $seconds s" >&2
    exit 1
fi
echo "package installed and started: $deb"
