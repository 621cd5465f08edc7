#!/usr/bin/env bash
# Builds and runs the processBlock benchmark; prints ns/frame and the ratio to the copy floor.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/build.sh
build/bench/OrtholumeBenchmarks --benchmark_min_time=0.5 "$@"
