#!/usr/bin/env bash
# Packs the Windows programs of a cross-build into one zip to unpack beside
# Horalina: transhoralotuxa.exe, transhoralotuxa-cli.exe, TUXA.chm and
# LEEME.txt, flat, in that order.
#   scripts/windows_zip.sh BUILD_DIR DIST_DIR
#   scripts/windows_zip.sh --name BUILD_DIR     prints the zip's file name
# Writes DIST_DIR/transhoralotuxa-VERSION-win64.zip, VERSION being the
# project() version of the build (the one version.h carries). The same
# sources give the same zip: fixed order, every file dated by the last
# commit, no owners, no build paths. A missing file stops it, naming the file,
# and leaves no zip of this version behind.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
name_only=false
if [ "${1:-}" = --name ]; then name_only=true; shift; fi
build=$(cd "$1" && pwd)

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[ -n "$version" ] || { echo "windows_zip: no project version in $build/CMakeCache.txt" >&2; exit 1; }
zip_name="transhoralotuxa-$version-win64.zip"
if $name_only; then echo "$zip_name"; exit 0; fi
dist=$2
mkdir -p "$dist"
dist=$(cd "$dist" && pwd)
rm -f "$dist/$zip_name"

programs=(transhoralotuxa.exe transhoralotuxa-cli.exe TUXA.chm)
for file in "${programs[@]}"; do
  if [ ! -f "$build/src/$file" ]; then
    echo "windows_zip: missing $build/src/$file; the package needs it (is its CMake target built?)" >&2
    exit 1
  fi
done
leeme="$root/packaging/LEEME.txt"
[ -f "$leeme" ] || { echo "windows_zip: missing $leeme" >&2; exit 1; }

stage="$build/package"
rm -rf "$stage"
mkdir -p "$stage"
for file in "${programs[@]}"; do cp "$build/src/$file" "$stage/"; done
# Notepad shows UTF-8 right when it starts with a byte-order mark, on every
# Windows; lines end in CR LF.
{ printf '\xef\xbb\xbf'; sed 's/$/\r/' "$leeme"; } >"$stage/LEEME.txt"

stamp=$(git -C "$root" log -1 --format=%ct 2>/dev/null || echo 946684800)
touch -d "@$stamp" "$stage"/*
( cd "$stage" && TZ=UTC zip -q -X -D "$stage/$zip_name" "${programs[@]}" LEEME.txt )
mv "$stage/$zip_name" "$dist/$zip_name"
echo "windows_zip: $dist/$zip_name"
