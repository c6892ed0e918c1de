#!/usr/bin/env bash
# The first command on a clean machine. Makes a clean Debian 12 system
# (debootstrap --variant=minbase, kept as a tarball between runs), clones this
# repository's commit into a copy of it and runs ./run there as root with an
# empty environment, as a new user would; fails when ./run fails or prints no
# result. A machine that has every package cannot show a missing install
# step: this check can.
#   scripts/fresh_machine.sh [--package]
# --package also installs the Debian package that ./test made (dist/*.deb)
# into another clean copy with apt, as a school's administrator would, runs the
# installed command line on the example school, compares its tables and
# timetable with the build folder's, and purges the package: nothing of it may
# stay behind.
# Needs root (debootstrap, chroot, mount) and Debian's mirror. The tarball and
# the packages apt downloads are kept in $THT_FRESH_CACHE (by default
# /var/cache/transhoralotuxa-fresh); the tarball is made anew after 7 days.
# Only what is committed is tried: uncommitted changes are named and left out.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/progress.sh"
package=0
case "${1:-}" in
  --package) package=1 ;;
  "") ;;
  *) echo "usage: scripts/fresh_machine.sh [--package]" >&2; exit 64 ;;
esac
fail() { echo "fresh_machine: $*" >&2; exit 1; }
[ "$(id -u)" -eq 0 ] || fail "needs root (debootstrap, chroot and mount); run it as root, as CI does"

"$root/scripts/setup.sh" fresh
cache=${THT_FRESH_CACHE:-/var/cache/transhoralotuxa-fresh}
mirror=http://deb.debian.org/debian
tarball="$cache/bookworm-minbase.tar.gz"
mkdir -p "$cache/apt-archives/partial"

if [ -z "$(find "$tarball" -mtime -7 2>/dev/null)" ]; then
  echo "== a clean Debian 12 (debootstrap --variant=minbase bookworm), kept in $tarball"
  made=$(mktemp -d /var/tmp/tht-debootstrap-XXXXXX)
  with_progress "debootstrap" "$cache/debootstrap.log" '^I: ' \
    debootstrap --variant=minbase bookworm "$made" "$mirror" \
    || { tail -n 20 "$cache/debootstrap.log" >&2; rm -rf "$made"; fail "debootstrap failed; its log is $cache/debootstrap.log"; }
  tar -C "$made" -czf "$tarball.new" . && mv "$tarball.new" "$tarball"
  rm -rf "$made"
fi

work=$(mktemp -d /var/tmp/tht-fresh-XXXXXX)
# Mounts first, then the files: a folder still mounted is never removed.
cleanup() {
  local mounted
  mounted=$(awk -v w="$work/" 'index($2, w) == 1 { print $2 }' /proc/mounts | sort -r)
  for m in $mounted; do umount -l "$m" || true; done
  if awk -v w="$work/" 'index($2, w) == 1 { found = 1 } END { exit !found }' /proc/mounts; then
    echo "fresh_machine: $work is still mounted; left in place" >&2
  else
    rm -rf "$work"
  fi
}
trap cleanup EXIT

# new_system NAME: a clean copy of the cached system in $work/NAME, with
# /proc, the host's name servers and the shared download folder of apt.
new_system() {
  local sys="$work/$1"
  mkdir -p "$sys"
  tar -C "$sys" -xzf "$tarball"
  cp /etc/resolv.conf "$sys/etc/resolv.conf"
  mount -t proc proc "$sys/proc"
  mount --bind "$cache/apt-archives" "$sys/var/cache/apt/archives"
  echo "$sys"
}

# in_system SYS COMMAND: COMMAND run by bash as root in SYS with an empty environment.
in_system() {
  chroot "$1" /usr/bin/env -i /bin/bash -c "$2"
}

commit=$(git -C "$root" rev-parse HEAD)
if [ -n "$(git -C "$root" status --porcelain)" ]; then
  echo "fresh_machine: uncommitted changes are not tried; the commit is $commit"
fi

echo "== ./run on a clean Debian 12, in a fresh clone of ${commit:0:12}"
sys=$(new_system run)
git clone -q --no-local "$root" "$sys/root/transhoralotuxa"
git -C "$sys/root/transhoralotuxa" checkout -q "$commit"
start=$SECONDS
status=0
in_system "$sys" 'cd /root/transhoralotuxa && ./run' 2>&1 | tee "$work/run.log" || status=$?
run_time=$(took $((SECONDS - start)))
[ "$status" -eq 0 ] || fail "./run failed (exit code $status) after $run_time on a clean Debian 12"
grep -q '^Done: built into build/' "$work/run.log" && [ -s "$sys/root/transhoralotuxa/build/example/escuela/TUXA_HORARIO.TXT" ] \
  || fail "./run exited 0 after $run_time but printed no result (no \"Done:\" line, or no timetable)"
echo "== ./run on a clean Debian 12: passed in $run_time"

if [ "$package" -eq 1 ]; then
  debs=("$root"/dist/transhoralotuxa_*_amd64.deb)
  [ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "--package needs the one package that ./test makes in dist/ (scripts/package-deb.sh)"
  cli="$root/build/src/transhoralotuxa-cli"
  [ -x "$cli" ] || fail "--package compares with the build folder's command line, $cli, which ./test builds"
  echo "== apt install ./$(basename "${debs[0]}") on a clean Debian 12"
  sys=$(new_system package)
  cp "${debs[0]}" "$sys/tmp/"
  start=$SECONDS
  with_progress "apt install" "$work/apt-install.log" '^(Get:[0-9]+|Unpacking|Setting up) ' \
    in_system "$sys" "apt-get update && DEBIAN_FRONTEND=noninteractive apt-get install -y /tmp/$(basename "${debs[0]}")" \
    || { tail -n 30 "$work/apt-install.log" >&2; fail "apt could not install the package on a clean Debian 12"; }
  echo "apt install: $(grep -c '^Setting up ' "$work/apt-install.log") packages set up in $(took $((SECONDS - start)))"

  echo "== the example school through the installed command line, against the build folder's"
  mkdir -p "$sys/tmp/example/htemp" "$work/build/htemp"
  cp -r "$root/examples/escuela" "$sys/tmp/example/escuela"
  cp -r "$root/examples/escuela" "$work/build/escuela"
  in_system "$sys" 'cd /tmp/example && transhoralotuxa-cli exportar escuela --htemp htemp' \
    || fail "the installed transhoralotuxa-cli exportar gave exit code $?"
  cp "$root/examples/horalina/SOLUC.DBF" "$sys/tmp/example/htemp/"
  in_system "$sys" 'cd /tmp/example && transhoralotuxa-cli importar escuela --htemp htemp' \
    || fail "the installed transhoralotuxa-cli importar gave exit code $?"
  "$cli" exportar "$work/build/escuela" --htemp "$work/build/htemp" --quiet >/dev/null
  cp "$root/examples/horalina/SOLUC.DBF" "$work/build/htemp/"
  "$cli" importar "$work/build/escuela" --htemp "$work/build/htemp" --quiet >/dev/null
  /usr/bin/python3 "$root/tests/windows/same_output.py" \
    "$sys/tmp/example/htemp" "$sys/tmp/example/escuela" "$work/build/htemp" "$work/build/escuela" \
    || fail "the installed command line and the build folder's gave different tables or timetables"
  echo "the installed command line gives the build folder's six tables and timetable"

  echo "== apt purge"
  in_system "$sys" 'DEBIAN_FRONTEND=noninteractive apt-get purge -y transhoralotuxa' >"$work/apt-purge.log" 2>&1 \
    || { cat "$work/apt-purge.log" >&2; fail "apt could not purge the package"; }
  left=$(cd "$sys" && find usr/bin usr/share/man usr/share/doc usr/share/applications usr/share/icons -iname '*transhoralotuxa*' -o -iname 'Horalina.ini' | head -n 5)
  [ -z "$left" ] || fail "apt purge left files behind: $left"
  echo "apt purge: nothing of the package is left"
fi
echo "fresh_machine: passed; ./run took $run_time on a clean Debian 12"
