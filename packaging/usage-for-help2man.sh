#!/bin/sh
# Runs a program's --help or --version for help2man: "$THT_MAN_PROGRAM" "$@".
# Under a Spanish locale help2man finds the synopsis only after "Modo de
# empleo:", while a help text may open with "Usage:" or "Uso:" as well; the
# first of those headings is given help2man's word, so that the manual page
# keeps its SINOPSIS whichever form the help takes. A program with orders
# ("Órdenes:") also gives each order's own help, so that the page lists the
# options of every order and not only the program's.
set -e
out=$("$THT_MAN_PROGRAM" "$@")
printf '%s\n' "$out" | sed -E '0,/^(Usage|Uso):/ s//Modo de empleo:/'
[ "$1" = --help ] || exit 0
orders=$(printf '%s\n' "$out" | sed -n '/^Órdenes:$/,/^$/ s/^  \([a-z][a-z-]*\) .*/\1/p')
for order in $orders; do
  printf '\n'
  "$THT_MAN_PROGRAM" "$order" --help | sed -E "1d; s/^(Argumentos|Opciones):\$/\1 de $order:/"
done
