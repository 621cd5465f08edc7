#!/usr/bin/env bash
# Fails, naming each place, when C++ code of ours is not in the house style of
# .clang-format. With no arguments it checks every C++ file git tracks.
#   tools/check-format.sh [FILE...]
set -euo pipefail
cd "$(dirname "$0")/.."

if [ $# -gt 0 ]; then
    files=("$@")
else
    mapfile -t files < <(git ls-files '*.cpp' '*.h')
fi

clang-format-14 --dry-run -Werror "${files[@]}"
