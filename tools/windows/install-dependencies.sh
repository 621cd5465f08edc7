#!/usr/bin/env bash
# Installs what the Windows cross-build needs, from Debian's archive: MinGW-w64,
# its zlib, wine, and the source packages of libpng and libjpeg-turbo.
set -euo pipefail

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi

# apt-get source needs deb-src entries; add them beside Debian's deb822 list if there are none.
if ! grep -rqsE '^(deb-src|Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources \
        | $sudo tee /etc/apt/sources.list.d/ortholume-deb-src.sources >/dev/null
fi

packages=(
    cmake ninja-build make dpkg-dev
    juce-modules-source
    g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev
    libz-mingw-w64-dev
    wine64
)

$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${packages[@]}"
