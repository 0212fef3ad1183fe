#!/bin/sh
# Runs the fuzz target in pieces with the corpus kept between them:
#   tests/fuzz/run.sh BUILD_DIR PIECES [SECONDS_PER_PIECE] [WORKER_NAME]
# Corpus: BUILD_DIR/corpus (seeded from tests/fuzz/corpus and the examples and
# golden sources); findings: BUILD_DIR/artifacts; one log per piece in
# BUILD_DIR/logs. The executions of all pieces so far: tests/fuzz/count.sh.
# The time limit per input is 10 s: complete minimization of an equation of
# seven or more variables legitimately takes seconds under the sanitizers
# (a tenth of that in the normal build); an endless loop is caught all the same.
set -e
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
OUT=${1:?usage: run.sh BUILD_DIR PIECES [SECONDS] [NAME]}
PIECES=${2:?usage: run.sh BUILD_DIR PIECES [SECONDS] [NAME]}
SECONDS_PER=${3:-600}
NAME=${4:-w$$}
SCRATCH=${TALMIR_FUZZ_DIR:-/dev/shm}
mkdir -p "$OUT/corpus" "$OUT/artifacts" "$OUT/logs" "$OUT/seeds"
[ -n "$(ls "$OUT/seeds")" ] || "$ROOT/tests/fuzz/make_seeds.sh" "$OUT/seeds" > /dev/null
i=0
while [ "$i" -lt "$PIECES" ]; do
  i=$((i + 1))
  TALMIR_FUZZ_DIR="$SCRATCH" "$OUT/talmir_fuzz" -timeout=10 -rss_limit_mb=4096 \
    -max_len=4096 -entropic=0 -max_total_time="$SECONDS_PER" -print_final_stats=1 \
    -dict="$ROOT/tests/fuzz/talmir.dict" -artifact_prefix="$OUT/artifacts/" \
    "$OUT/corpus" "$OUT/seeds" "$ROOT/tests/fuzz/corpus" \
    > "$OUT/logs/$NAME-$(date +%H%M%S).log" 2>&1 || true
done
