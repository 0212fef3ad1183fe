#!/bin/sh
# Builds the command-line compiler and compiles the bundled example:
# shows the compile log, the diagnostics and the equation file.
set -e
cd "$(dirname "$0")/.."
scripts/install-deps.sh native
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc 2>/dev/null || echo 2)" --target talmirc >/dev/null
src=${1:-examples/ampel.sqx}
out=$(mktemp -d)
cp "$src" "$out/"
name=$(basename "$src")
status=0
(cd "$out" && "$OLDPWD/build/talmirc" --plc ZIRKO --min ESPRESSO "$name") || status=$?
base=${name%.*}
echo "--- $base.ERR"
iconv -f CP1252 -t UTF-8 "$out/$base.ERR" 2>/dev/null | tr -d '\r' || true
echo "--- $base.ZW"
iconv -f CP1252 -t UTF-8 "$out/$base.ZW" 2>/dev/null | tr -d '\r' || true
echo
echo "(files in $out)"
exit $status
