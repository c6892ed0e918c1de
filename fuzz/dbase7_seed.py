#!/usr/bin/env python3
"""A small dBase 7 table (68-byte header, 48-byte descriptors) with C, I, O, L,
D and N fields, a deleted record and blanks, for the dBase reader's seeds."""
import struct
import sys

fields = [("NOMBRE", "C", 10, 0), ("DIA", "I", 4, 0), ("HORAS", "O", 8, 0), ("ACTIVO", "L", 1, 0),
          ("FECHA", "D", 8, 0), ("CANT", "N", 6, 2)]
records = [
    (b" ", b"Lunes     ", struct.pack(">I", 0x80000001), struct.pack(">Q", 0xBFF8000000000000), b"T", b"20241209", b"  1.50"),
    (b"*", b"Borrado   ", struct.pack(">I", 0x80000002), struct.pack(">Q", 0xC059000000000000), b"F", b"        ", b"      "),
    (b" ", b"Menos     ", struct.pack(">I", 0x7FFFFFFE), struct.pack(">Q", 0x3FFDFFFFFFFFFFFF), b"?", b"00000000", b"-12.25"),
    (b" ", b"          ", b"\0\0\0\0", b"\0" * 8, b" ", b"        ", b"      "),
]
record_length = 1 + sum(f[2] for f in fields)
header_length = 68 + 48 * len(fields) + 1
with open(sys.argv[1], "wb") as out:
    out.write(struct.pack("<BBBBIHH20x", 0x04, 124, 12, 9, len(records), header_length, record_length))
    out.write(b"DBWINUS0".ljust(32, b"\0") + b"\0" * 4)
    for name, kind, width, decimals in fields:
        out.write(name.encode().ljust(32, b"\0") + kind.encode() + bytes([width, decimals]) + b"\0" * 13)
    out.write(b"\r")
    for r in records:
        out.write(b"".join(r))
    out.write(b"\x1a")
