#!/bin/sh
# Writes the seed inputs into DIR: every example and golden source once for
# each controller and level (the head byte of fuzz_input.h in front).
#   tests/fuzz/make_seeds.sh DIR
set -e
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
DIR=${1:?usage: make_seeds.sh DIR}
mkdir -p "$DIR"
n=0
for src in "$ROOT"/examples/*.sqx "$ROOT"/tests/golden/*/source.sqx; do
  [ -f "$src" ] || continue
  for head in 0 1 2 3 4 5 6 7 8 9 10 11; do
    n=$((n + 1))
    { printf "\\$(printf '%03o' "$head")"; cat "$src"; } > "$DIR/seed_${n}"
  done
done
echo "$n seeds in $DIR"
