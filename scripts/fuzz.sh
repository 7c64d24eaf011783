#!/usr/bin/env bash
# Builds a libFuzzer target with clang (ASan, UBSan) in its own build folder
# and runs it for a given number of seconds.
# Usage: scripts/fuzz.sh [seconds=60] [name=protocol]
# New inputs go to <build>/fuzz-corpus/<name>; fuzz/corpus/<name> only seeds.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
name=${2:-protocol}
source_dir=${LSA_FUZZ_SOURCE_DIR:-$root}
build=${LSA_FUZZ_BUILD_DIR:-$root/build-fuzz}

cmake -S "$source_dir" -B "$build" -G Ninja \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_FLAGS=-fsanitize=fuzzer-no-link -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link \
  -DLSA_BUILD_FUZZ=ON -DLSA_SANITIZE=ON -DLSA_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target "fuzz_$name" -j2

work="$build/fuzz-corpus/$name"
mkdir -p "$work"
dict=()
[ -f "$root/fuzz/$name.dict" ] && dict=(-dict="$root/fuzz/$name.dict")

export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
binary="$build/bin/fuzz_$name"
[ -x "$binary" ] || binary="$build/fuzz/fuzz_$name"
cd "$build"
"$binary" -max_total_time="$seconds" -print_final_stats=1 -timeout=10 -rss_limit_mb=4096 \
  "${dict[@]}" "$work" "$root/fuzz/corpus/$name"
