#!/bin/sh
# Builds the chart file fuzzer, writes its starting charts and runs it for a
# while (60 seconds unless MAVREL_FUZZ_TIME says otherwise). Exits non-zero
# when a file makes Load or the page drawing crash or break their promises;
# the file that did it is left in the build folder's artifacts/.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
build=${MAVREL_FUZZ_BUILD:-$(dirname "$root")/build-fuzz}
seconds=${MAVREL_FUZZ_TIME:-60}

CXX=${CXX:-clang++} cmake -S "$root" -B "$build" -DMAVREL_FUZZ=ON >/dev/null
cmake --build "$build" -j2 --target fuzz_load fuzz_seeds

# Generated afresh each run beside the build, never in the source tree.
corpus="$build/corpus"
rm -rf "$corpus"
mkdir -p "$corpus" "$build/artifacts"
"$build/fuzz/fuzz_seeds" "$corpus"

"$build/fuzz/fuzz_load" -max_total_time="$seconds" -max_len=65536 -timeout=10 \
    -print_final_stats=1 -artifact_prefix="$build/artifacts/" "$corpus"
