#!/usr/bin/env bash
# From a clean clone: install the dependencies, build, install the plug-ins into
# ~/.vst3 and ~/.lv2 (programs into ~/.local/bin), and run the self-check.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-dependencies.sh
tools/build.sh
cmake --install build --prefix "$HOME"
"$HOME/.local/bin/ortholume-selfcheck"
