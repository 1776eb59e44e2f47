#!/usr/bin/env bash
# Builds the libFuzzer targets with clang, AddressSanitizer and UndefinedBehaviorSanitizer,
# seeds them with small generated recordings of every layout and runs each for SECONDS.
# Usage: scripts/fuzz.sh [SECONDS]   (default 25)
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
SECONDS_PER_TARGET=${1:-25}
FUZZ_BUILD=$ROOT/build-fuzz

CC=clang CXX=clang++ cmake -S "$ROOT" -B "$FUZZ_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DPQWAVE_UI=OFF -DPQWAVE_TESTS=OFF -DPQWAVE_FUZZ=ON -DPQWAVE_SANITIZE=ON >/dev/null
cmake --build "$FUZZ_BUILD" -j2 --target header_fuzzer loader_fuzzer road_fuzzer pqwave-gen

SEEDS=$FUZZ_BUILD/seeds
rm -rf "$SEEDS" && mkdir -p "$SEEDS"
gen() { "$FUZZ_BUILD/bin/pqwave-gen" --samples 40 "$@"; }
gen --layout 40 --channels 4 --off 2 -o "$SEEDS/a.wav"
gen --layout 41 --channels 3 --logic 2 -o "$SEEDS/b.mem"
gen --layout 41 --channels 2 --rms -o "$SEEDS/c.rms"
gen --layout 80 --channels 2 -o "$SEEDS/d.mem"
gen --layout 47 --channels 4 -o "$SEEDS/e.mem"
gen --layout 20 --channels 2 --logic 3 --extra-flag --range 1V -o "$SEEDS/f.mem"
gen --layout 86 --channels 2 -o "$SEEDS/g.mem"
gen --layout 41 --three-phase 110 --circuit 100:30 --field 1:1=103 -o "$SEEDS/h.mem"
gen --layout 86 --channels 3 --off 2 --calibration 5:-3:-12:-1:1000 -o "$SEEDS/i.mem"
gen --layout 40 --channels 8 --off 1 -o "$SEEDS/j.wav"
gen --layout 20 --channels 3 --off 2 --logic 1 --range 1V -o "$SEEDS/k.mem"
gen --layout 47 --channels 3 --off 2 -o "$SEEDS/l.mem"
gen --layout 80 --channels 2 --logic 2 -o "$SEEDS/m.mem"

export ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
for target in header_fuzzer loader_fuzzer road_fuzzer; do
    corpus=$FUZZ_BUILD/corpus-$target
    log=$FUZZ_BUILD/$target.log
    mkdir -p "$corpus"
    echo "Fuzzing $target for ${SECONDS_PER_TARGET}s"
    status=0
    "$FUZZ_BUILD/fuzz/$target" "$corpus" "$SEEDS" -max_total_time="$SECONDS_PER_TARGET" -max_len=16384 \
        -artifact_prefix="$FUZZ_BUILD/" -rss_limit_mb=2048 -print_final_stats=1 >"$log" 2>&1 || status=$?
    grep -E "^#[0-9]+.*cov:" "$log" | tail -n 1 || true
    grep -E "stat::number_of_executed_units|stat::average_exec_per_sec|ERROR|SUMMARY" "$log" || true
    if [ "$status" -ne 0 ]; then
        tail -n 60 "$log"
        exit "$status"
    fi
done
