#!/usr/bin/env python3
"""The icon inside each .exe is the program's own: its icon group, read back
with wrestool, holds the same pictures in the same sizes as the .ico rendered
from the drawing.

    exe_icon.py ICO EXE...
"""
import struct
import subprocess
import sys


def pictures(ico):
    """(width, height, bits per pixel, image bytes) for each picture of an .ico."""
    reserved, kind, count = struct.unpack_from("<HHH", ico, 0)
    if reserved != 0 or kind != 1 or count == 0:
        raise ValueError("not an icon file")
    found = []
    for i in range(count):
        width, height, _, _, _, bits, size, offset = struct.unpack_from("<BBBBHHII", ico, 6 + 16 * i)
        # 0 stands for 256 in an icon directory
        found.append((width or 256, height or 256, bits, ico[offset:offset + size]))
    return found


def main(ico_path, *exes):
    with open(ico_path, "rb") as f:
        expected = pictures(f.read())
    sizes = [w for w, _, _, _ in expected]
    # Explorer's views, the taskbar at 100 % and 150 %, and the title bar.
    if sizes != [16, 24, 32, 48, 256]:
        print(f"exe_icon: {ico_path} has the sizes {sizes}", file=sys.stderr)
        return 1
    failed = False
    for exe in exes:
        group = subprocess.run(["wrestool", "--extract", "--type=14", exe],
                               capture_output=True, check=True).stdout
        if not group:
            print(f"exe_icon: {exe} holds no icon", file=sys.stderr)
            failed = True
            continue
        if pictures(group) != expected:
            print(f"exe_icon: the icon of {exe} is not the program's", file=sys.stderr)
            failed = True
            continue
        print(f"{exe.rsplit('/', 1)[-1]}: the program's icon, {' '.join(map(str, sizes))} px")
    return 1 if failed else 0


if __name__ == "__main__":
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    sys.exit(main(*sys.argv[1:]))
