#!/usr/bin/env bash
# Installs the Debian packages that are missing; does nothing when all are there.
#   scripts/setup.sh [LIST...]   packages.txt, plus packages-LIST.txt for each LIST
# One line says what is being installed, another that it is moving (apt's
# last step, kept up to date on a terminal, every 30 s elsewhere); apt's
# output goes to a log of that install's own (build/setup-base.log for packages.txt alone,
# build/setup-windows.log for `scripts/setup.sh windows`, ...); it is shown
# only when the install fails.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
lists=("$root/scripts/packages.txt")
for name in "$@"; do lists+=("$root/scripts/packages-$name.txt"); done
wanted=$(grep -h -v -E '^\s*(#|$)' "${lists[@]}")
missing=()
for p in $wanted; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
  sudo=()
elif command -v sudo >/dev/null; then
  sudo=(sudo)
else
  echo "setup: missing Debian packages: ${missing[*]}; install them as root (scripts/setup.sh)" >&2
  exit 1
fi
log="build/setup-$(IFS=-; echo "${*:-base}").log"
mkdir -p "$root/build"
echo "Installing the Debian packages that are missing (${missing[*]}) and what they need; the first time takes several minutes. Full log: $log"
install_missing() {
  "${sudo[@]}" apt-get update \
    && "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
}
source "$root/scripts/progress.sh"
if ! with_progress "setup" "$root/$log" '^(Get:[0-9]+|Unpacking|Setting up) ' install_missing; then
  tail -n 40 "$root/$log" >&2
  echo "setup: the install failed; the whole log is in $log" >&2
  exit 1
fi
