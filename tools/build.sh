#!/usr/bin/env bash
# Configures and builds everything (plug-ins, programs, tests, benchmarks) into build/.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build --parallel "$(nproc)"
