#!/usr/bin/env bash
# Rebuilds the seed corpora from the example school: its TUXA files, the
# tables an export writes, its Horalina solution as dBase III and Visual
# FoxPro, and whole folders joined with "@@\n" for the run target.
# Usage: fuzz/make_seeds.sh CLI
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cli=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
corpus="$root/fuzz/corpus"
rm -rf "$corpus"
mkdir -p "$corpus/dbf" "$corpus/tuxa" "$corpus/run"

"$cli" exportar "$root/examples/escuela" --htemp "$work/htemp" --quiet >/dev/null || true
cp "$work"/htemp/*.DBF "$corpus/dbf/"
cp "$root/examples/horalina/SOLUC.DBF" "$corpus/dbf/SOLUC-dbase3.DBF"
/usr/bin/python3 "$root/examples/make_soluc.py" "$work/htemp" "$corpus/dbf/SOLUC-vfp.DBF" --tipo vfp >/dev/null
/usr/bin/python3 "$root/fuzz/dbase7_seed.py" "$corpus/dbf/DBASE7.DBF"
cp "$root"/examples/escuela/*.txt "$root"/examples/escuela/*.TXT "$corpus/tuxa/"

order="tuxa_asignat.txt TUXA_ACTIVIDADES.TXT tuxa_prof.txt tuxa_aulas.txt tuxa_grupo.txt tuxa_asignatgrupo.txt tuxa_asignatcurso.txt tuxa_sesiones.txt"
join() {  # the files of a folder in step order, then SOLUC, cut at "@@\n"
  local first=1
  for f in $order; do
    [ $first = 1 ] || printf '@@\n'
    first=0
    head -c "$2" "$1/$f"
  done
  printf '@@\n'
  cat "$3"
}
join "$root/examples/escuela" 100000 "$root/examples/horalina/SOLUC.DBF" > "$corpus/run/escuela"
join "$root/examples/escuela" 1500 "$root/examples/horalina/SOLUC.DBF" > "$corpus/run/escuela-short"
ls "$corpus"/* | wc -l
