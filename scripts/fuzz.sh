#!/bin/sh
# Builds the fuzzers of every reader, writes their starting inputs and runs
# them for a while: chart files (and the page drawing) for 30 seconds, typed
# text (iReal Pro links, chords typed from the keyboard) for 15, chart files
# played by the accompaniment for 15, unless MAVREL_FUZZ_TIME gives the whole. Exits non-zero when an input makes a
# reader crash or break its promises; the input that did it is left in the
# build folder's artifacts/.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
build=${MAVREL_FUZZ_BUILD:-$(dirname "$root")/build-fuzz}
seconds=${MAVREL_FUZZ_TIME:-60}

CXX=${CXX:-clang++} cmake -S "$root" -B "$build" -DMAVREL_FUZZ=ON >/dev/null
cmake --build "$build" -j2 --target fuzz_load fuzz_text fuzz_accompaniment fuzz_seeds

# Generated afresh each run beside the build, never in the source tree.
corpus="$build/corpus"
texts="$build/texts"
rm -rf "$corpus" "$texts"
mkdir -p "$corpus" "$texts" "$build/artifacts"
"$build/fuzz/fuzz_seeds" "$corpus" "$texts"
cp "$root/tests/data/ireal/"* "$texts/"

"$build/fuzz/fuzz_load" -max_total_time=$((seconds / 2)) -max_len=65536 -timeout=10 \
    -print_final_stats=1 -artifact_prefix="$build/artifacts/" "$corpus"
"$build/fuzz/fuzz_text" -max_total_time=$((seconds / 4)) -max_len=65536 -timeout=10 \
    -print_final_stats=1 -artifact_prefix="$build/artifacts/" "$texts"
"$build/fuzz/fuzz_accompaniment" -max_total_time=$((seconds / 4)) -max_len=65536 -timeout=10 \
    -print_final_stats=1 -artifact_prefix="$build/artifacts/" "$corpus"
