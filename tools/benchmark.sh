#!/usr/bin/env bash
# Builds and runs the processBlock benchmark; prints ns/frame and the ratios to the
# baselines measured in the same run.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/build.sh default OrtholumeBenchmarks
build/bench/OrtholumeBenchmarks --benchmark_min_time=0.5 "$@"
