#!/usr/bin/env bash
# Builds static libpng and libjpeg-turbo for 64-bit Windows from Debian's own
# source packages (Debian's JUCE removed the copies it bundles). Installs into
# PREFIX; a library already there is not built again.
# Usage: tools/windows/third-party.sh CACHE_DIR
set -euo pipefail
cache="$(realpath -m "$1")"
prefix="$cache/prefix"
toolchain="$(cd "$(dirname "$0")/../.." && pwd)/cmake/MinGW64Toolchain.cmake"
mkdir -p "$cache/src" "$prefix"

# apt-get source wants the newest version the index lists; a security update's
# files are sometimes not on the mirror yet, so older listed versions are tried too.
fetch_source()
{
    local package="$1" version
    for version in $(apt-cache showsrc "$package" | sed -n 's/^Version: //p' | sort -rVu); do
        if (cd "$cache/src" && apt-get source -qq --download-only "$package=$version" >/dev/null 2>&1); then
            echo "$cache/src/${package}_${version#*:}.dsc"
            return 0
        fi
    done
    echo "no source of $package could be fetched" >&2
    return 1
}

unpack()
{
    local dsc="$1" dir="$2"
    rm -rf "$dir"
    dpkg-source --no-check -x "$dsc" "$dir" >/dev/null
}

build_cmake()
{
    local source="$1" build="$2"
    shift 2
    cmake -S "$source" -B "$build" -G "Unix Makefiles" \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_POSITION_INDEPENDENT_CODE=ON "$@" >/dev/null
    cmake --build "$build" --parallel "$(nproc)" >/dev/null
    cmake --install "$build" >/dev/null
}

if [ ! -f "$prefix/lib/libpng16.a" ]; then
    echo "Building libpng for MinGW into $prefix"
    unpack "$(fetch_source libpng1.6)" "$cache/src/libpng"
    build_cmake "$cache/src/libpng" "$cache/build/libpng" \
        -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
        -DZLIB_INCLUDE_DIR=/usr/x86_64-w64-mingw32/include \
        -DZLIB_LIBRARY=/usr/x86_64-w64-mingw32/lib/libz.a
fi

if [ ! -f "$prefix/lib/libjpeg.a" ]; then
    echo "Building libjpeg-turbo for MinGW into $prefix"
    unpack "$(fetch_source libjpeg-turbo)" "$cache/src/libjpeg-turbo"
    # Without the SIMD code: it needs nasm, and JUCE only decodes a few images.
    build_cmake "$cache/src/libjpeg-turbo" "$cache/build/libjpeg-turbo" \
        -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_SIMD=OFF -DWITH_TURBOJPEG=OFF
    # JUCE compiles with JPEG_INTERNALS, which includes this private header.
    cp "$cache/src/libjpeg-turbo/jpegint.h" "$prefix/include/"
fi
