#!/bin/sh
# Builds the Windows program TALMIR.exe and its UI test driver with
# mingw-w64 into build-win/, and puts the help file next to TALMIR.exe.
set -e
cd "$(dirname "$0")/.."
scripts/install-deps.sh windows
jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64.cmake" \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-win -j"$jobs" --target TALMIR talmir_ui_driver
if [ -x help/build.sh ]; then
  # The help has its own tests; a failed help build leaves TALMIR.exe usable.
  help/build.sh >/dev/null || echo "warning: help/build.sh failed, no help file" >&2
fi
if [ -f help/out/tlm_hilfe_V44.chm ]; then
  cp help/out/tlm_hilfe_V44.chm build-win/
fi
echo "build-win/TALMIR.exe"
