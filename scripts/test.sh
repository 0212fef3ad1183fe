#!/bin/sh
# Installs what is missing and runs every test: the native build, the same
# tests under AddressSanitizer and UndefinedBehaviorSanitizer, and the
# Windows program's tests under wine.
set -e
cd "$(dirname "$0")/.."
jobs=$(nproc 2>/dev/null || echo 2)
scripts/install-deps.sh all

echo "== native build and tests"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"

echo "== sanitizer build and tests"
cmake -S . -B build-asan -DTALMIR_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build-asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j"$jobs"

for extra in scripts/test-windows.sh scripts/test-help.sh; do
  if [ -x "$extra" ]; then
    echo "== $extra"
    "$extra"
  fi
done
echo "== all tests passed"
