#!/bin/sh
# Builds the container fuzz target with clang and runs it for a while on the
# golden containers as seeds. usage: run_fuzz.sh [seconds]  (default 300)
# Crashing inputs are left in build/fuzz-container/crashes; copy them into
# tests/pixveil/fixtures/fuzz/ so the end-to-end tests replay them.
set -e
here=$(cd "$(dirname "$0")/../../.." && pwd)
seconds=${1:-300}
build=$here/build/fuzz-container
cmake -S "$here" -B "$build" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPIXVEIL_FUZZ=ON -DQUENDLE_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined" >/dev/null
cmake --build "$build" --target pixveil_container_fuzz -j2
mkdir -p "$build/corpus" "$build/crashes"
# Seeds: each golden container as it is (first byte 0) and with its size
# made right for the fuzzer's password (first byte 1).
for seed in "$here"/tests/pixveil/fixtures/*.rtf "$here"/tests/pixveil/fixtures/*.bmp; do
  { printf '\000'; cat "$seed"; } > "$build/corpus/plain-$(basename "$seed")"
  { printf '\001'; cat "$seed"; } > "$build/corpus/patched-$(basename "$seed")"
done
if [ -d "$here/tests/pixveil/fixtures/fuzz" ]; then cp "$here"/tests/pixveil/fixtures/fuzz/* "$build/corpus/" 2>/dev/null || true; fi
"$build/bin/pixveil_container_fuzz" "$build/corpus" -max_total_time="$seconds" -max_len=12000 \
  -artifact_prefix="$build/crashes/" -print_final_stats=1
