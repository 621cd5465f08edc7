#!/usr/bin/env bash
# From a clean clone: cross-build the 64-bit Windows plug-ins with MinGW-w64 and
# smoke-test them under wine (no display needed). The artefacts land in
# build-windows/plugin/Ortholume_artefacts/Release/{VST,VST3}/. libpng and
# libjpeg-turbo are built once into ~/.cache/ortholume/mingw (or
# $ORTHOLUME_MINGW_CACHE) and reused.
set -euo pipefail
cd "$(dirname "$0")/.."
cache="${ORTHOLUME_MINGW_CACHE:-$HOME/.cache/ortholume/mingw}"

tools/windows/install-dependencies.sh
tools/windows/third-party.sh "$cache"

cmake -S . -B build-windows -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE=cmake/MinGW64Toolchain.cmake \
    -DORTHOLUME_MINGW_PREFIX="$cache/prefix" \
    -DJUCE_DIR=/usr/lib/x86_64-linux-gnu/cmake/JUCE-7.0.5
cmake --build build-windows --parallel "$(nproc)"
ctest --test-dir build-windows --output-on-failure
