#!/usr/bin/env bash
# From a clean clone: install the dependencies, build, and run the whole test suite.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-dependencies.sh
tools/build.sh
# A virtual display for anything that opens a window.
xvfb-run -a ctest --test-dir build --output-on-failure --parallel 2
# The Windows plug-ins, cross-built and tested under wine (about 8 minutes from a clean clone).
tools/windows.sh
