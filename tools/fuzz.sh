#!/usr/bin/env bash
# Runs each fuzzer for a fixed number of executions from its committed seed
# corpus and prints executions, time and findings per fuzzer.
#
#   tools/fuzz.sh                      the full passes (after tools/build.sh sanitize)
#   tools/fuzz.sh --quick              the short bounded pass CI runs
#   tools/fuzz.sh audio_path           one fuzzer only
#   tools/fuzz.sh --build-dir DIR      fuzzers built elsewhere than build-sanitize
#
# New inputs go to build-sanitize/fuzz-corpus/NAME (the committed seeds stay as
# they are); anything that fails is kept as build-sanitize/fuzz-findings/NAME-*.
# Exits non-zero if any fuzzer finds anything.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"

quick=0
build_dir="$root/build-sanitize"
fuzzers=()

while [ $# -gt 0 ]; do
    case "$1" in
        --quick) quick=1 ;;
        --build-dir) build_dir="$2"; shift ;;
        -h|--help) sed -n '2,12p' "$0"; exit 0 ;;
        *) fuzzers+=("$1") ;;
    esac
    shift
done

[ ${#fuzzers[@]} -gt 0 ] || fuzzers=(state_restore audio_path converter_input)

# Executions per fuzzer: the full pass, and CI's short one (about a minute in all).
runs_for() {
    case "$1:$quick" in
        state_restore:0) echo 1000000 ;;
        state_restore:1) echo 20000 ;;
        audio_path:0) echo 100000 ;;
        audio_path:1) echo 2000 ;;
        converter_input:0) echo 200000 ;;
        converter_input:1) echo 10000 ;;
        *) echo "unknown fuzzer: $1" >&2; exit 2 ;;
    esac
}

max_len_for() {
    case "$1" in
        converter_input) echo 8192 ;;
        *) echo 4096 ;;
    esac
}

output_root="$build_dir"
failed=0

for name in "${fuzzers[@]}"; do
    runs="$(runs_for "$name")"
    program="$build_dir/tests/fuzz/fuzz_$name"

    if [ ! -x "$program" ]; then
        echo "$program is not built: run tools/build.sh sanitize first" >&2
        exit 2
    fi

    corpus="$output_root/fuzz-corpus/$name"
    findings="$output_root/fuzz-findings"
    mkdir -p "$corpus" "$findings"

    options=(-runs="$runs" -seed=1 -max_len="$(max_len_for "$name")" -timeout=20 -rss_limit_mb=2048
             -print_final_stats=1 -artifact_prefix="$findings/$name-")
    dictionary="$root/tests/fuzz/$name.dict"
    [ -f "$dictionary" ] && options+=(-dict="$dictionary")

    log="$output_root/fuzz-$name.log"
    start=$(date +%s.%N)
    status=0
    "$program" "${options[@]}" "$corpus" "$root/tests/fuzz/corpus/$name" > "$log" 2>&1 || status=$?
    end=$(date +%s.%N)

    executions="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)"
    seconds="$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.1f", b - a }')"

    if [ "$status" -eq 0 ]; then
        echo "fuzz $name: ${executions:-?} executions in ${seconds} s, 0 findings"
    else
        failed=1
        echo "fuzz $name: FINDING after ${executions:-?} executions in ${seconds} s (status $status); see $log and $findings/$name-*"
        grep -E "ERROR|fuzz check failed|runtime error|SUMMARY" "$log" | head -n 20 || true
    fi
done

exit "$failed"
