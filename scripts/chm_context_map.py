#!/usr/bin/env python3
"""Writes the context map of help/mapa.txt into a compiled help file, in place.

  chm_context_map.py HELP_DIR CHM_FILE

HtmlHelpW(..., HH_HELP_CONTEXT, n) looks n up in the file's internal /#IVB
(a DWORD byte count, then pairs of DWORD context number and DWORD offset into
/#STRINGS) and opens the page whose name /#STRINGS holds at that offset. The
compiler we have (Debian's chmcmd 3.2.2) stores the [ALIAS] page under its
absolute build path, which no viewer finds and which would carry the build
folder into the package; so the project has no map, and this step stores /#IVB
and /#STRINGS itself, uncompressed (section 0, appended at the end of the
file), rewriting their entries in the file's directory."""

import struct
import sys
from pathlib import Path

from help_pages import HelpError, HelpPages

ITSF_V3_HEADER = 0x60
PMGL_HEADER = 0x14


def encint(value):
    out = [value & 0x7F]
    value >>= 7
    while value:
        out.append(0x80 | (value & 0x7F))
        value >>= 7
    return bytes(reversed(out))


def read_encint(data, pos):
    value = 0
    while True:
        byte = data[pos]
        pos += 1
        value = (value << 7) | (byte & 0x7F)
        if byte < 0x80:
            return value, pos


class Entry:
    def __init__(self, name, section, offset, length):
        self.name, self.section, self.offset, self.length = name, section, offset, length

    def encode(self):
        name = self.name.encode("utf-8")
        return encint(len(name)) + name + encint(self.section) + encint(self.offset) + encint(self.length)


class Chm:
    """The parts of an ITSF version 3 file that the map needs: the header, the
    directory's listing chunks and section 0."""

    def __init__(self, data):
        self.data = bytearray(data)
        if data[:4] != b"ITSF" or struct.unpack_from("<I", data, 4)[0] != 3:
            raise HelpError("not an ITSF version 3 file")
        self.size_at = struct.unpack_from("<Q", data, 0x38)[0] + 8
        self.directory = struct.unpack_from("<Q", data, 0x48)[0]
        self.content = struct.unpack_from("<Q", data, 0x58)[0]
        itsp = self.directory
        if data[itsp:itsp + 4] != b"ITSP":
            raise HelpError("no ITSP directory header")
        header_len, = struct.unpack_from("<I", data, itsp + 8)
        self.chunk_size, self.density, _depth, _root, first, _last = struct.unpack_from("<6i", data, itsp + 0x10)
        self.chunks = itsp + header_len
        self.first_chunk = first

    def chunk_at(self, number):
        return self.chunks + number * self.chunk_size

    def listing(self, number):
        start = self.chunk_at(number)
        if self.data[start:start + 4] != b"PMGL":
            raise HelpError(f"directory chunk {number} is not a listing chunk")
        free, = struct.unpack_from("<I", self.data, start + 4)
        nxt, = struct.unpack_from("<i", self.data, start + 0x10)
        pos, end = start + PMGL_HEADER, start + self.chunk_size - free
        entries = []
        while pos < end:
            length, pos = read_encint(self.data, pos)
            name = self.data[pos:pos + length].decode("utf-8")
            pos += length
            section, pos = read_encint(self.data, pos)
            offset, pos = read_encint(self.data, pos)
            size, pos = read_encint(self.data, pos)
            entries.append(Entry(name, section, offset, size))
        return entries, nxt

    def quickref(self, entries):
        # The offset (from the first entry) of every (1 + 2^density)-th entry,
        # the last one first, then the number of entries: read backwards from
        # the chunk's end. Counted as chmcmd counts them, from 1.
        step = 1 + (1 << self.density)
        offsets, pos = [], 0
        for i, entry in enumerate(entries):
            if (i + 1) % step == 0:
                offsets.append(pos)
            pos += len(entry.encode())
        return b"".join(struct.pack("<H", o) for o in reversed(offsets)) + struct.pack("<H", len(entries))

    def write_listing(self, number, entries):
        start = self.chunk_at(number)
        body = b"".join(e.encode() for e in entries)
        tail = self.quickref(entries)
        room = self.chunk_size - PMGL_HEADER
        if len(body) + len(tail) > room:
            raise HelpError("the directory chunk has no room for the context map")
        free = self.chunk_size - PMGL_HEADER - len(body)
        chunk = self.data[start:start + PMGL_HEADER]
        struct.pack_into("<I", chunk, 4, free)
        chunk += body + bytes(room - len(body) - len(tail)) + tail
        self.data[start:start + self.chunk_size] = chunk

    def check_quickref(self, number, entries):
        # Refuse a layout we would not write back the same way.
        end = self.chunk_at(number) + self.chunk_size
        tail = self.quickref(entries)
        if bytes(self.data[end - len(tail):end]) != tail:
            raise HelpError("unexpected directory quick-reference layout")

    def append_to_section0(self, payload):
        offset = len(self.data) - self.content
        self.data += payload
        struct.pack_into("<Q", self.data, self.size_at, len(self.data))
        return offset

    def put_files(self, files):
        """Stores each (name, bytes) in section 0 under that name, replacing
        an entry of the same name, in the listing chunk that holds or would
        hold it."""
        number = self.first_chunk
        while number != -1:
            entries, nxt = self.listing(number)
            self.check_quickref(number, entries)
            mine = [name for name in files if self._belongs(name, entries, nxt)]
            if mine:
                if number != self.first_chunk and min(mine, key=str.lower).lower() < entries[0].name.lower():
                    raise HelpError("the context map would open a directory chunk, which its index does not know")
                for name in mine:
                    offset = self.append_to_section0(files[name])
                    entries = [e for e in entries if e.name != name]
                    entries.append(Entry(name, 0, offset, len(files[name])))
                entries.sort(key=lambda e: e.name.lower())
                self.write_listing(number, entries)
            number = nxt

    def _belongs(self, name, entries, nxt):
        if nxt == -1:
            return True
        following, _ = self.listing(nxt)
        return name.lower() < following[0].name.lower()


def context_map(contexts):
    strings = bytearray(b"\0")
    pairs = bytearray()
    offsets = {}
    for number, page in contexts.items():
        if page not in offsets:
            offsets[page] = len(strings)
            strings += page.encode("utf-8") + b"\0"
        pairs += struct.pack("<II", number, offsets[page])
    return struct.pack("<I", len(pairs)) + bytes(pairs), bytes(strings)


def main(argv):
    if len(argv) != 3:
        print(__doc__, file=sys.stderr)
        return 64
    help_dir, chm_file = Path(argv[1]), Path(argv[2])
    try:
        pages = HelpPages(help_dir)
        chm = Chm(chm_file.read_bytes())
        ivb, strings = context_map(pages.contexts)
        chm.put_files({"/#IVB": ivb, "/#STRINGS": strings})
        chm_file.write_bytes(chm.data)
    except (HelpError, OSError) as e:
        print(f"chm_context_map: {chm_file}: {e}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
