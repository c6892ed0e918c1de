#!/usr/bin/env bash
# The Debian package: makes it (scripts/package-deb.sh), unpacks it into a
# temporary root with dpkg-deb (no root rights needed), takes the example
# school through the unpacked command line and compares the tables and the
# timetable with those of the build folder's, then checks what a desktop and
# Debian's tools read: the manual pages (their sections, their date, no word
# cut across lines, and their orders and options against each program's
# --help, both ways), the menu entry, the icon, the dependencies, the files'
# dates and lintian.
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
  # The window answers without a display, as its manual page says.
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
# Dated by the commit, as package-deb.sh dates them: month and year in Spanish.
commit_epoch=$(git -C "$root" log -1 --format=%ct)
months=(enero febrero marzo abril mayo junio julio agosto septiembre octubre noviembre diciembre)
commit_month=$(date -u -d "@$commit_epoch" +%-m)
page_date="${months[commit_month - 1]} de $(date -u -d "@$commit_epoch" +%Y)"
for program in transhoralotuxa transhoralotuxa-cli; do
  page="$usr/share/man/man1/$program.1.gz"
  [ -f "$page" ] || fail "no manual page $program(1)"
  rendered=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>"$work/man-warnings")
  [ ! -s "$work/man-warnings" ] || { cat "$work/man-warnings" >&2; fail "man warns about $program(1)"; }
  for heading in NOMBRE SINOPSIS DESCRIPCIÓN ÓRDENES OPCIONES "ESTADO DE SALIDA" ARCHIVOS ENTORNO EJEMPLOS "VÉASE TAMBIÉN"; do
    grep -q "^$heading\$" <<<"$rendered" || fail "$program(1) has no $heading section"
  done
  grep -q "^ *$program - " <<<"$rendered" || fail "$program(1) does not name $program"
  footer=$(grep -v '^ *$' <<<"$rendered" | tail -n 1)
  [[ $footer =~ ^$program\ $version\ +$page_date\ +[A-Z-]+\(1\)$ ]] ||
    fail "$program(1) is not of version $version and of the commit's month ($page_date): its footer is \"$footer\""
  # A file name cut at the end of a line, by hyphenation ("TUXA_HO‐" / "RARIO.TXT")
  # or at one of its own hyphens, cannot be copied whole: no word is cut, at
  # a narrow terminal's width, the usual one or a wide one.
  for width in 64 80 120; do
    if cut=$(LC_ALL=C.UTF-8 MANWIDTH=$width man -E UTF-8 -l "$page" 2>/dev/null | grep -n -E '[[:alnum:]_.(](‐|-)$'); then
      fail "$program(1) cuts a word at the end of a line ($width columns): $cut"
    fi
  done
  # Its orders and options, both ways, against what the program's --help and
  # each order's --help print.
  /usr/bin/python3 - "$usr/bin/$program" "$page" "$rendered" <<'END'
import gzip, re, subprocess, sys
program, page, rendered = sys.argv[1], sys.argv[2], sys.argv[3]
name = program.rsplit("/", 1)[-1]

def help_of(*args):
    return subprocess.run([program, *args, "--help"], capture_output=True, text=True, check=True,
                          env={"PATH": "/usr/bin:/bin"}).stdout

def options_in(help_text):
    # "  --htemp TEXT  ...", "  -h,--help  ...": an option line of the help.
    return set(re.findall(r"^\s+(?:-\w,\s*)?(--[a-z][a-z-]*)", help_text, re.M))

main_help = help_of()
# The orders: the entries of the help's "Órdenes:" list, and the words a usage
# line offers as alternatives ("[exportar|importar CARPETA]").
block = re.search(r"^Órdenes:\n((?:[ \t]+\S.*\n)+)", main_help, re.M)
orders = set(re.findall(r"^\s+([a-z]+)\s", block.group(1), re.M)) if block else set()
for line in main_help.splitlines():
    if re.match(r"(Uso|Usage|Modo de empleo):", line):
        for alternatives in re.findall(r"\b[a-z]+(?:\|[a-z]+)+\b", line):
            orders |= set(alternatives.split("|"))
options = options_in(main_help)
if block:  # orders of a list have a help of their own
    for order in sorted(orders):
        options |= options_in(help_of(order))
if not options:
    sys.exit(f"test_deb: no option found in {name} --help: has its form changed?")

# The page's lists: the tags of the tagged paragraphs of ÓRDENES and OPCIONES.
source = gzip.open(page, "rt", encoding="utf-8").read().splitlines()
listed = {"ÓRDENES": set(), "OPCIONES": set()}
section = None
for i, line in enumerate(source):
    heading = re.match(r'\.SH\s+"?([^"]*)"?', line)
    if heading:
        section = heading.group(1).strip()
    elif line.startswith(".TP") and section in listed and i + 1 < len(source):
        tag = re.sub(r"^\.[A-Z]+\s+", "", source[i + 1]).replace("\\-", "-").replace('"', " ")
        # An order by its word, an option by its long names ("-h, --help").
        listed[section] |= set(re.findall(r"--[a-z][a-z-]*", tag)) if section == "OPCIONES" else {tag.split()[0]}

problems = []
for order in sorted(orders - listed["ÓRDENES"]):
    problems.append(f"the order {order} of --help is not in ÓRDENES")
for order in sorted(listed["ÓRDENES"] - orders):
    problems.append(f"ÓRDENES lists {order}, which --help does not know")
for option in sorted(options - listed["OPCIONES"]):
    problems.append(f"the option {option} of --help is not in OPCIONES")
# Every option the page names, listed or in its text, must exist.
named = set(re.findall(r"(?<![\w-])--[a-z][a-z-]*", rendered)) | listed["OPCIONES"]
for option in sorted(named - options):
    problems.append(f"the page names {option}, which --help does not know")
if problems:
    sys.exit("".join(f"test_deb: {name}(1): {p}\n" for p in problems).rstrip())
print(f"{name}(1): orders {' '.join(sorted(orders)) or '(none)'}; options {' '.join(sorted(options))}")
END
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

echo "== dependencies, dates and Debian's own checks"
# The libraries shlibdeps finds and the font the window is laid out for: CPack
# must keep both.
depends=$(dpkg-deb -f "$deb" Depends)
for package in libqt6widgets6 libicu libc6 fonts-liberation; do
  grep -q "\b$package" <<<"$depends" || fail "Depends lacks $package: \"$depends\""
done
echo "Depends: $depends"
# "Abrir el informe" opens the report through xdg-open.
recommends=$(dpkg-deb -f "$deb" Recommends)
[ "$recommends" = xdg-utils ] || fail "Recommends is \"$recommends\", not xdg-utils"
echo "Recommends: $recommends"
# Every file of the package is dated by the commit, as its manual pages are.
for part in --fsys-tarfile --ctrl-tarfile; do
  dpkg-deb "$part" "$deb" | /usr/bin/python3 -c '
import sys, tarfile
epoch = int(sys.argv[1])
wrong = [f"{m.name} ({m.mtime})" for m in tarfile.open(fileobj=sys.stdin.buffer, mode="r|") if m.mtime != epoch]
if wrong:
    sys.exit(f"test_deb: not dated by the commit ({epoch}): " + ", ".join(wrong[:5]))
' "$commit_epoch"
done
echo "files dated $(date -u -d "@$commit_epoch" '+%F %T') UTC, the commit's"
# Errors and warnings fail; an override in the package says why it is there.
lintian --fail-on error,warning --display-level '>=warning' "$deb" 2> >(grep -v 'running with root privileges' >&2)
echo "lintian: no errors or warnings"

echo "== Debian package: $((SECONDS - start)) s"
