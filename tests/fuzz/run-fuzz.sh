#!/usr/bin/env bash
# Builds the fuzz configuration and runs each fuzz target for SECONDS (default 20), seeded
# with the golden game files, the shipped templates and a few transcripts; the corpus grows in
# build/fuzz/corpus between runs. Any crash, leak or sanitizer report fails the run and leaves the input in
# build/fuzz/crashes. Usage: tests/fuzz/run-fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds=${1:-20}

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc)" >/dev/null

run() {  # target, max input length, seed files...
    local target=$1 maxlen=$2
    shift 2
    local corpus=build/fuzz/corpus/$target
    mkdir -p "$corpus" build/fuzz/crashes
    cp -n "$@" "$corpus"/ 2>/dev/null || true
    echo "fuzzing $target for ${seconds} s"
    local log=build/fuzz/$target.log status=0
    build/fuzz/bin/"$target" -max_total_time="$seconds" -max_len="$maxlen" -timeout=10 \
        -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix=build/fuzz/crashes/"$target"- \
        "$corpus" >"$log" 2>&1 || status=$?
    grep -E '^stat::number_of_executed_units' "$log" || true
    if [ "$status" -ne 0 ]; then
        tail -40 "$log"
        return "$status"
    fi
}

run game_file_fuzz 37200 tests/data/games/*.tvk
run template_fill_fuzz 16384 templates/template.txt templates/template.html
run transcript_fuzz 4096 tests/fuzz/transcripts/*
