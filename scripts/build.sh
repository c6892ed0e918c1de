#!/usr/bin/env bash
# Configures and builds one build folder: scripts/build.sh DIR [cmake options...]
# The build's progress goes to DIR/build.log; on standard output one line shows
# that it is moving (kept up to date on a terminal, every 30 s elsewhere). Only
# warnings are printed, on standard error (there should be none), and, when
# the build fails, its errors.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/progress.sh"
dir=$1
shift
mkdir -p "$root/$dir"
log="$root/$dir/build.log"
configure_and_build() {
  cmake -S "$root" -B "$root/$dir" -G Ninja -Wno-dev "$@" && cmake --build "$root/$dir" -j "$(nproc)"
}
if ! with_progress "build $dir" "$log" '^\[[0-9]+/[0-9]+\]' configure_and_build "$@"; then
  # Ninja marks each failed step "FAILED:" and then gives the compiler's
  # words; a missing package is told on one line of our own; CMake's other
  # errors have no such mark: its last lines tell them.
  if grep -q '^FAILED: ' "$log"; then
    sed -n '/^FAILED: /,$p' "$log" | grep -v '^ninja: build stopped' >&2
  elif grep -q '^  The build needs ' "$log"; then
    sed -n '/^  The build needs /,/^Call Stack/{/^Call Stack/!p}' "$log" | sed 's/^ *//' | paste -sd ' ' >&2
  else
    tail -n 40 "$log" >&2
  fi
  echo "build $dir: failed; the whole log is in $dir/build.log" >&2
  exit 1
fi
warnings=$(grep -c -E '(warning|Warning):' "$log") || true
if [ "$warnings" -gt 0 ]; then
  grep -E -A 3 '(warning|Warning):' "$log" >&2
  echo "build $dir: $warnings warnings (the whole log is in $dir/build.log)" >&2
fi
