#!/bin/sh
# Sum of the executions of all fuzz pieces logged in BUILD_DIR/logs (a piece
# that ended on a finding counts up to its last status line).
OUT=${1:?usage: count.sh BUILD_DIR}
total=0
for log in "$OUT"/logs/*.log; do
  [ -f "$log" ] || continue
  n=$(awk '/^stat::number_of_executed_units:/ { s = $2 } /^#[0-9]+/ { l = substr($1, 2) } END { print (s != "" ? s : (l != "" ? l : 0)) }' "$log")
  total=$((total + n))
done
echo "$total"
