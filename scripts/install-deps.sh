#!/usr/bin/env bash
# Installs what building and testing Parlowen needs on Debian 12, skipping what is present.
# Usage: scripts/install-deps.sh [build|package|test|icon]
set -euo pipefail
want=(cmake ninja-build g++ libgtest-dev libgmock-dev tzdata qt6-base-dev fonts-liberation2 fonts-dejavu-core)
if [ "${1:-build}" = package ] || [ "${1:-build}" = test ]; then
  want+=(dpkg-dev file)
fi
if [ "${1:-build}" = test ]; then
  want+=(xvfb xauth xdotool x11-utils imagemagick rsync desktop-file-utils)
  want+=(groff-base man-db shared-mime-info)
  want+=(g++-mingw-w64-x86-64 wine64 googletest locales nsis)
  want+=(clang-14 libclang-rt-14-dev clang-format)
  want+=(bindfs strace systemd)
  want+=(openssh-server openssh-client sshfs)
fi
if [ "${1:-build}" = icon ]; then
  want+=(librsvg2-bin)
fi
missing=()
for p in "${want[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""; [ "$(id -u)" = 0 ] || sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
