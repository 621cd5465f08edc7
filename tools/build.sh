#!/usr/bin/env bash
# Configures and builds into build/: everything (plug-ins, programs, tests,
# benchmarks, the sanitized sub-build), or only the targets named.
#   tools/build.sh [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
if [ $# -gt 0 ]; then
    cmake --build build --parallel "$(nproc)" --target "$@"
else
    cmake --build build --parallel "$(nproc)"
fi
