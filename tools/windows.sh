#!/usr/bin/env bash
# From a clean clone: cross-build the 64-bit Windows plug-ins with MinGW-w64 and
# smoke-test them under wine (no display needed). The artefacts land in
# build-windows/plugin/Ortholume_artefacts/Release/{VST,VST3}/. libpng and
# libjpeg-turbo are built once into ~/.cache/ortholume/mingw (or
# $ORTHOLUME_MINGW_CACHE) and reused.
set -euo pipefail
cd "$(dirname "$0")/.."
export ORTHOLUME_MINGW_CACHE="${ORTHOLUME_MINGW_CACHE:-$HOME/.cache/ortholume/mingw}"

tools/windows/install-dependencies.sh
tools/windows/third-party.sh "$ORTHOLUME_MINGW_CACHE"

tools/build.sh windows
ctest --preset windows
