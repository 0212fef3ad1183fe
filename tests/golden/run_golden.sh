#!/bin/sh
# Golden tests. Each folder under the golden directory is one case:
#   source.sqx     the program (compiled as prog.sqx in a scratch folder)
#   args           optional talmirc options, e.g. "--plc TREVA --min NOMIN"
#   expected.ZW    the equation file byte for byte (absent: no ZW may be written)
#   expected.ERR   the diagnostics file byte for byte
#   expected.log   talmirc's standard output (the permanent log lines)
#   expected.status optional exit status of talmirc (0 no errors, 1 errors)
# UPDATE=1 rewrites the expected files from what talmirc writes, for review.
set -u
talmirc=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
root=$2
only=${3:-}
fail=0
count=0
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
for dir in "$root"/*/; do
  [ -f "$dir/source.sqx" ] || continue
  name=$(basename "$dir")
  [ -n "$only" ] && [ "$name" != "$only" ] && continue
  count=$((count + 1))
  work="$tmp/$name"
  mkdir -p "$work"
  cp "$dir/source.sqx" "$work/prog.sqx"
  args=""
  [ -f "$dir/args" ] && args=$(cat "$dir/args")
  (cd "$work" && "$talmirc" $args prog.sqx >stdout 2>stderr)
  status=$?
  if [ "${UPDATE:-0}" = 1 ]; then
    if [ -f "$work/prog.ZW" ]; then cp "$work/prog.ZW" "$dir/expected.ZW"; else rm -f "$dir/expected.ZW"; fi
    cp "$work/prog.ERR" "$dir/expected.ERR" 2>/dev/null || : > "$dir/expected.ERR"
    cp "$work/stdout" "$dir/expected.log"
    echo "updated $name (review it before committing)"
    continue
  fi
  bad=""
  if [ -f "$dir/expected.ZW" ]; then
    cmp -s "$dir/expected.ZW" "$work/prog.ZW" || bad="$bad ZW"
  else
    [ -f "$work/prog.ZW" ] && bad="$bad ZW(written-but-not-expected)"
  fi
  if [ -f "$dir/expected.ERR" ]; then
    cmp -s "$dir/expected.ERR" "$work/prog.ERR" || bad="$bad ERR"
  fi
  if [ -f "$dir/expected.log" ]; then
    cmp -s "$dir/expected.log" "$work/stdout" || bad="$bad log"
  fi
  want=""
  [ -f "$dir/expected.status" ] && want=$(cat "$dir/expected.status")
  if [ -n "$want" ] && [ "$status" != "$want" ]; then bad="$bad status($status, expected $want)"; fi
  if [ -n "$bad" ]; then
    fail=$((fail + 1))
    echo "FAIL $name:$bad"
    for f in ZW ERR; do
      if [ -f "$dir/expected.$f" ] && ! cmp -s "$dir/expected.$f" "$work/prog.$f"; then
        echo "--- expected.$f vs written prog.$f"
        diff "$dir/expected.$f" "$work/prog.$f" | head -20
      fi
    done
    if [ -f "$dir/expected.log" ] && ! cmp -s "$dir/expected.log" "$work/stdout"; then
      echo "--- expected.log vs stdout"; diff "$dir/expected.log" "$work/stdout" | head -20
    fi
    sed -n 1,5p "$work/stderr"
  fi
done
echo "golden: $count cases, $fail failed"
[ "$count" -gt 0 ] || { echo "no golden cases found"; exit 1; }
[ "$fail" -eq 0 ]
