#!/bin/sh
# Runs a program's --help or --version for help2man: "$THT_MAN_PROGRAM" "$@".
# Under a Spanish locale help2man finds the synopsis only after "Modo de
# empleo:", while a help text may open with "Usage:" or "Uso:" as well; the
# first of those headings is given help2man's word, so that the manual page
# keeps its SINOPSIS whichever form the help takes. Nothing else changes.
set -e
out=$("$THT_MAN_PROGRAM" "$@")
printf '%s\n' "$out" | sed -E '0,/^(Usage|Uso):/ s//Modo de empleo:/'
