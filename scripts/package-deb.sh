#!/usr/bin/env bash
# Makes the Debian package dist/transhoralotuxa_VERSION_amd64.deb (VERSION:
# the project's version and the revision of packaging/changelog): installs
# what is missing, builds build/ as ./run does, with packaging on
# (THT_PACKAGE), and has CPack pack both programs, their manual pages, the
# icon and the menu entry. Prints the package's path.
#   scripts/package-deb.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh" deb
# The package's files and the date of its manual pages are the last
# commit's, never the build's: CPack and cmake/deb_package.cmake read it here.
if ! SOURCE_DATE_EPOCH=$(git -C "$root" log -1 --format=%ct); then
  echo "package-deb: the package is dated by the last commit, and git cannot read it in $root" >&2
  exit 1
fi
export SOURCE_DATE_EPOCH
"$root/scripts/build.sh" build -DTHT_PACKAGE=ON
out="$root/build/package"
rm -rf "$out"
log="$root/build/package-deb.log"
if ! (cd "$root/build" && cpack -G DEB) >"$log" 2>&1; then
  cat "$log" >&2
  echo "package-deb: CPack failed; its output is in build/package-deb.log" >&2
  exit 1
fi
debs=("$out"/transhoralotuxa_*_amd64.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { echo "package-deb: CPack made no single package in $out" >&2; exit 1; }
mkdir -p "$root/dist"
name=$(basename "${debs[0]}")
rm -f "$root"/dist/transhoralotuxa_*_amd64.deb
mv "${debs[0]}" "$root/dist/$name"
echo "$root/dist/$name"
