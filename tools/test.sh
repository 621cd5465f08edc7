#!/usr/bin/env bash
# From a clean clone: install the dependencies, then build and test each build
# configuration in turn (CMakePresets.json), the Windows plug-ins last.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-dependencies.sh
tools/check-format.sh

# A virtual display for anything that opens a window.
for preset in default sanitize tsan; do
    tools/build.sh "$preset"
    xvfb-run -a ctest --preset "$preset"
done

# The Windows plug-ins, cross-built and tested under wine.
tools/windows.sh
