#!/usr/bin/env bash
# Installs everything the build and the tests need on Debian 12 (run as root).
# Safe to run again: apt-get skips what is already there.
set -euo pipefail

stamp=/var/lib/veltrane-setup.stamp
packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev pkg-config
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
  libgtest-dev libgmock-dev libbenchmark-dev libjpeg62-turbo-dev
  wine wine32:i386 wine64 fonts-wine
  libxrender1:i386 libxrandr2:i386 libxi6:i386 libxcursor1:i386
  libxinerama1:i386 libxcomposite1:i386 libxfixes3:i386
  xvfb xdotool imagemagick fonts-wqy-microhei locales novnc x11vnc websockify
  python3 python3-pytest dpkg-dev nasm
)

if [ "$(id -u)" -ne 0 ]; then
  echo "setup.sh: run as root (it installs Debian packages)" >&2
  exit 1
fi

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
  rm -f "$stamp"
fi

# deb-src entry so that the cross build can take libjpeg-turbo's source from Debian.
if ! grep -rqs 'deb-src' /etc/apt/sources.list /etc/apt/sources.list.d/; then
  cat > /etc/apt/sources.list.d/veltrane-src.sources <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
  rm -f "$stamp"
fi

missing=0
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || { missing=1; break; }
done
if [ "$missing" = 1 ] || [ ! -f "$stamp" ]; then
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${packages[@]}" >/dev/null
  touch "$stamp"
fi

if ! locale -a 2>/dev/null | grep -qi '^zh_CN.utf8$'; then
  sed -i 's/^# *zh_CN.UTF-8 UTF-8/zh_CN.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi
