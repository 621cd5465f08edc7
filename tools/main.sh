#!/usr/bin/env bash
# From a clean clone: install the dependencies, build, install the plug-ins into
# ~/.vst3 and ~/.lv2 (programs into ~/.local/bin), and convert the bundled FuMa
# example to AmbiX with ortholume-convert, which prints its summary.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-dependencies.sh
# Only what is installed: the tests and the other build configurations are tools/test.sh's.
tools/build.sh default Ortholume_All ortholume-convert
cmake --install build --prefix "$HOME"
mkdir -p build/example
"$HOME/.local/bin/ortholume-convert" -o build/example/circling-source-ambix.wav examples/circling-source-fuma.amb
