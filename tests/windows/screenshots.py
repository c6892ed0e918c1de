#!/usr/bin/env python3
"""Pictures of the Win32 window in each run mode under Wine and Xvfb, for
scripts/screenshots.sh:

    xvfb-run -a -s "-screen 0 1024x768x24" screenshots.py BUILD_WIN64 START_FOLDER OUTPUT_FOLDER

writes OUTPUT_FOLDER/win32-interactive.bmp|png, win32-exportar.*, win32-importar.*
(the client area, as the Qt pictures show it) and win32-framed.* (the whole
interactive window, title bar and icon too).
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import images  # noqa: E402
import test_window  # noqa: E402

MODES = [("interactive", []), ("exportar", ["exportar", "x"]), ("importar", ["importar", "x"])]


def main(build, start, output):
    test_window.BUILD = os.path.abspath(build)
    os.makedirs(test_window.INSTALL, exist_ok=True)
    import shutil
    shutil.copy(os.path.join(test_window.BUILD, "src", "transhoralotuxa.exe"), test_window.INSTALL)
    test_window.restart_server(persistent=False)
    test_window.virtual_desktop(True)
    test_window.restart_server()
    try:
        for name, arguments in MODES:
            window = test_window.Window(arguments, start)
            bmp = os.path.join(output, f"win32-{name}.bmp")
            if window.drive("screenshot", test_window.CAPTION, bmp).returncode != 0:
                raise SystemExit(f"no picture of {name}")
            images.write_png(images.read_bmp(bmp), bmp[:-4] + ".png")
            if name == "interactive":  # the whole window once, for its title bar and icon
                framed = os.path.join(output, "win32-framed.bmp")
                if window.drive("screenshot", test_window.CAPTION, framed, "frame").returncode != 0:
                    raise SystemExit("no picture of the whole window")
                images.write_png(images.read_bmp(framed), framed[:-4] + ".png")
            window.drive("keys", test_window.CAPTION, "alt+s")
            window.gone()
            window.end()
    finally:
        test_window.restart_server(persistent=False)
        test_window.virtual_desktop(False)
        test_window.restart_server(persistent=False)


if __name__ == "__main__":
    main(*sys.argv[1:])
