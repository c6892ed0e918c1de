#!/usr/bin/env bash
# Configures and builds one build folder: scripts/build.sh DIR [cmake options...]
# The build's progress goes to DIR/build.log; only warnings are printed, on
# standard error (there should be none), and, when the build fails, its errors.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$1
shift
mkdir -p "$root/$dir"
log="$root/$dir/build.log"
if ! { cmake -S "$root" -B "$root/$dir" -G Ninja -Wno-dev "$@" && cmake --build "$root/$dir" -j "$(nproc)"; } >"$log" 2>&1; then
  # Ninja marks each failed step "FAILED:" and then gives the compiler's
  # words; CMake's own errors have no such mark: its last lines tell them.
  if grep -q '^FAILED: ' "$log"; then
    sed -n '/^FAILED: /,$p' "$log" | grep -v '^ninja: build stopped' >&2
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
