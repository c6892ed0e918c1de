#!/usr/bin/env bash
# The Debian package: makes it (scripts/package-deb.sh), unpacks it into a
# temporary root with dpkg-deb (no root rights needed), takes the example
# school through the unpacked command line and compares the tables and the
# timetable with those of the build folder's, then checks what a desktop and
# Debian's tools read: the manual pages, the menu entry, the icon, the
# dependencies and lintian.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
start=$SECONDS
deb=$("$root/scripts/package-deb.sh" | tail -n 1)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$root/build/CMakeCache.txt")
fail() { echo "test_deb: $*" >&2; exit 1; }

work=$(mktemp -d /tmp/tht-deb-XXXXXX)
trap 'rm -rf "$work"' EXIT
unpacked="$work/root"
dpkg-deb -x "$deb" "$unpacked"
usr="$unpacked/usr"

echo "== $(basename "$deb"): the programs of the package"
for program in transhoralotuxa transhoralotuxa-cli; do
  [ -x "$usr/bin/$program" ] || fail "no executable /usr/bin/$program in the package"
  # The window answers without a display, as help2man asked it when building.
  answer=$(env -u DISPLAY -u WAYLAND_DISPLAY "$usr/bin/$program" --version)
  [ "$answer" = "$program $version" ] || fail "$program --version says \"$answer\", not \"$program $version\""
done
[[ $(basename "$deb") == transhoralotuxa_"$version"-*_amd64.deb ]] || fail "$deb is not of version $version"

echo "== the example school through the package's command line, against the build folder's"
e2e="$work/example"
for side in package build; do
  mkdir -p "$e2e/$side-htemp"
  cp -r "$root/examples/escuela" "$e2e/$side"
done
for side in package build; do
  if [ "$side" = package ]; then cli="$usr/bin/transhoralotuxa-cli"; else cli="$root/build/src/transhoralotuxa-cli"; fi
  # Exit 0: the example lacks no file (its planted faults are dropped lines).
  "$cli" exportar "$e2e/$side" --htemp "$e2e/$side-htemp" --quiet >/dev/null || fail "$side: exportar gave $?"
  cp "$root/examples/horalina/SOLUC.DBF" "$e2e/$side-htemp/"
  "$cli" importar "$e2e/$side" --htemp "$e2e/$side-htemp" --quiet >/dev/null || fail "$side: importar gave $?"
done
/usr/bin/python3 "$root/tests/windows/same_output.py" \
  "$e2e/package-htemp" "$e2e/package" "$e2e/build-htemp" "$e2e/build"

echo "== the manual pages"
for program in transhoralotuxa transhoralotuxa-cli; do
  page="$usr/share/man/man1/$program.1.gz"
  [ -f "$page" ] || fail "no manual page $program(1)"
  rendered=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>"$work/man-warnings")
  [ ! -s "$work/man-warnings" ] || { cat "$work/man-warnings" >&2; fail "man warns about $program(1)"; }
  for heading in NOMBRE SINOPSIS DESCRIPCIÓN; do
    grep -q "^$heading" <<<"$rendered" || fail "$program(1) has no $heading section (a heading not in Spanish, or a help text help2man cannot read)"
  done
  grep -q "^ *$program " <<<"$rendered" || fail "$program(1) does not name $program"
  grep -q "$program $version" <<<"$rendered" || fail "$program(1) is not of version $version"
done
# The command line's options belong to its orders: its page must reach them.
rendered=$(LC_ALL=C.UTF-8 MANWIDTH=80 man -E UTF-8 -l "$usr/share/man/man1/transhoralotuxa-cli.1.gz")
for option in --htemp --ini --informe; do
  grep -q -- "^ *$option " <<<"$rendered" || fail "transhoralotuxa-cli(1) does not list the orders' option $option"
done

echo "== the menu entry and its icon"
entry="$usr/share/applications/transhoralotuxa.desktop"
desktop-file-validate "$entry"
exec_line=$(sed -n 's/^Exec=//p' "$entry")
[ -x "$usr/bin/${exec_line%% *}" ] || fail "the menu entry starts \"$exec_line\", which the package lacks"
icon=$(sed -n 's/^Icon=//p' "$entry")
grep -q '^Categories=.*Education;' "$entry" || fail "the menu entry is not under Education"
[ -f "$usr/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "no scalable icon $icon"
/usr/bin/python3 - "$usr/share/icons/hicolor" "$icon" <<'END'
import pathlib, struct, sys
hicolor, name = pathlib.Path(sys.argv[1]), sys.argv[2]
sizes = sorted(int(d.name.split("x")[0]) for d in hicolor.iterdir() if d.name != "scalable")
for size in sizes:
    png = (hicolor / f"{size}x{size}" / "apps" / f"{name}.png").read_bytes()
    width, height = struct.unpack(">II", png[16:24])
    if png[:8] != b"\x89PNG\r\n\x1a\n" or (width, height) != (size, size):
        sys.exit(f"test_deb: the {size}x{size} icon is {width}x{height}")
if not {16, 32, 48, 256} <= set(sizes):
    sys.exit(f"test_deb: icon sizes {sizes} lack one of 16, 32, 48, 256")
print("icon sizes:", " ".join(map(str, sizes)), "and scalable")
END

echo "== dependencies and Debian's own checks"
depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6widgets6 libicu libc6; do
  grep -q "$library" <<<"$depends" || fail "Depends lacks $library: \"$depends\""
done
echo "Depends: $depends"
# Errors and warnings fail; an override in the package says why it is there.
lintian --fail-on error,warning --display-level '>=warning' "$deb" 2> >(grep -v 'running with root privileges' >&2)
echo "lintian: no errors or warnings"

echo "== Debian package: $((SECONDS - start)) s"
