#!/usr/bin/env bash
# Installs what the Windows cross-build needs when missing, cross-builds the
# core, the programs, TUXA.chm and the test programs into build-win64/ with
# mingw-w64 (statically linked: they import only Windows' own DLLs), and packs
# the programs into dist/transhoralotuxa-VERSION-win64.zip.
#   scripts/windows.sh [cmake options...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh" windows
cmake -S "$root" -B "$root/build-win64" -G Ninja -Wno-dev \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
cmake --build "$root/build-win64" -j "$(nproc)"
"$root/scripts/windows_zip.sh" "$root/build-win64" "$root/dist"
