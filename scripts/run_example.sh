#!/usr/bin/env bash
# Runs both directions on the bundled example school: exports its TUXA files
# into a Horalina folder, adds Horalina's solution, and imports the timetable.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cli=$(realpath "$1")
out="$root/build/example"
rm -rf "$out"
mkdir -p "$out/htemp"
cp -r "$root/examples/escuela" "$out/escuela"

echo "== exportar: $out/escuela -> $out/htemp"
"$cli" exportar "$out/escuela" --htemp "$out/htemp" --ini "$out/Horalina.ini"
echo "Tablas de Horalina en $out/htemp:"
ls -l "$out/htemp"

if [ -f "$root/examples/horalina/SOLUC.DBF" ]; then
  cp "$root/examples/horalina/SOLUC.DBF" "$out/htemp/SOLUC.DBF"
  echo "== importar: $out/htemp/SOLUC.DBF -> $out/escuela/TUXA_HORARIO.TXT"
  "$cli" importar "$out/escuela" --htemp "$out/htemp" --ini "$out/Horalina.ini"
  echo "Primeras líneas de $out/escuela/TUXA_HORARIO.TXT:"
  head -n 8 "$out/escuela/TUXA_HORARIO.TXT" | iconv -f cp1252 -t utf-8 | sed 's/\r$//'
fi
