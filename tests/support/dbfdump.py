"""Prints a dBase table as python3-dbfread reads it (see dbfread.h)."""
import sys

from dbfread import DBF

table = DBF(sys.argv[1], encoding="cp1252", char_decode_errors="strict")
print("|".join(f"{f.name}:{f.type}:{f.length}:{f.decimal_count}" for f in table.fields))
for record in table:
    print("|".join(f"{k}={v}" for k, v in record.items()))
