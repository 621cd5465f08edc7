#!/usr/bin/env bash
# Configures and builds one build configuration of CMakePresets.json, each in a
# folder of its own: default (build/: plug-ins, programs, tests, benchmarks),
# sanitize (build-sanitize/: ASan+UBSan tests and fuzzers), tsan (build-tsan/:
# the concurrency tests); windows is tools/windows.sh's. Everything, or only the
# targets named.
#   tools/build.sh [PRESET [TARGET...]]
set -euo pipefail
cd "$(dirname "$0")/.."

preset="${1:-default}"
[ $# -gt 0 ] && shift

cmake --preset "$preset"
if [ $# -gt 0 ]; then
    cmake --build --preset "$preset" --parallel "$(nproc)" --target "$@"
else
    cmake --build --preset "$preset" --parallel "$(nproc)"
fi
