#!/bin/sh
# Installs what the build and the tests need when it is missing (Debian).
# Usage: scripts/install-deps.sh [native|windows|all]
set -e
what=${1:-all}
need=""
have() { command -v "$1" >/dev/null 2>&1; }
pkg() { dpkg -s "$1" >/dev/null 2>&1; }
have cmake || need="$need cmake"
have g++ || need="$need g++"
pkg libgtest-dev || need="$need libgtest-dev"
if [ "$what" != native ]; then
  have x86_64-w64-mingw32-g++ || need="$need g++-mingw-w64-x86-64"
  have wine || need="$need wine64"
  have Xvfb || need="$need xvfb"
  have import || need="$need imagemagick"
  have chmcmd || need="$need fp-utils"
fi
if [ -n "$need" ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq $need
fi
