#!/usr/bin/env bash
# Installs what the Windows cross-build needs when missing, cross-builds the
# core, the programs, TUXA.chm and the test programs into build-win64/ with
# mingw-w64 (statically linked: they import only Windows' own DLLs), and packs
# the programs into dist/transhoralotuxa-VERSION-win64.zip. The build's
# progress goes to build-win64/build.log.
#   scripts/windows.sh [cmake options...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh" windows
"$root/scripts/build.sh" build-win64 \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=Release "$@"
"$root/scripts/windows_zip.sh" "$root/build-win64" "$root/dist"
