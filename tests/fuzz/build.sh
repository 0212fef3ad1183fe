#!/bin/sh
# Builds the libFuzzer target with AddressSanitizer and UndefinedBehaviorSanitizer:
#   tests/fuzz/build.sh [BUILD_DIR] [SOURCE_ROOT]
# BUILD_DIR defaults to build-fuzz, SOURCE_ROOT to this checkout (give an
# export of a commit, e.g. from git archive, to fuzz exactly that commit).
# Prints how to run it.
set -e
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
OUT=${1:-$ROOT/build-fuzz}
ROOT=${2:-$ROOT}
CXX=${CXX:-clang++}
mkdir -p "$OUT/obj"
FLAGS="-std=c++17 -g -O2 -fno-omit-frame-pointer -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -Wall -Wextra -I$ROOT"
OBJS=""
for src in "$ROOT"/compiler/front/*.cpp "$ROOT"/compiler/statements/*.cpp "$ROOT"/compiler/logic/*.cpp "$ROOT"/tests/fuzz/fuzz_target.cpp; do
  obj="$OUT/obj/$(basename "$(dirname "$src")")_$(basename "$src" .cpp).o"
  if [ ! -f "$obj" ] || [ "$src" -nt "$obj" ] || [ -n "$(find "$ROOT/compiler" "$ROOT/tests/fuzz" -name '*.h' -newer "$obj" | head -1)" ]; then
    $CXX $FLAGS -c "$src" -o "$obj" &
  fi
  OBJS="$OBJS $obj"
  # two compiles at a time
  [ "$(jobs -p | wc -l)" -lt 2 ] || wait -n 2>/dev/null || wait
done
wait
$CXX -fsanitize=fuzzer,address,undefined $OBJS -o "$OUT/talmir_fuzz"
echo "built $OUT/talmir_fuzz"
echo "run:  $OUT/talmir_fuzz -timeout=2 -rss_limit_mb=4096 -max_total_time=600 CORPUS_DIR $ROOT/tests/fuzz/corpus"
