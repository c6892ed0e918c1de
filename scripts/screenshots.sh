#!/usr/bin/env bash
# Pictures of the window in each run mode, to compare by eye: the Win32 window
# under Wine and Xvfb (build-win64/screenshots/win32-*.bmp|png; the whole
# window, title bar and icon included, in win32-framed.png), the Qt window
# offscreen (build/screenshots/qt-*.png) and under Xvfb with a window manager,
# title bar and icon included (build/screenshots/qt-*-frame.png), and each
# pair side by side (build-win64/screenshots/side-*.png, Win32 left, Qt
# right). Not part of ./test; builds what it needs in build/ and build-win64/
# first.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
win="$root/build-win64"
lin="$root/build"
"$root/scripts/setup.sh" windows screenshots
[ -f "$win/build.ninja" ] || "$root/scripts/windows.sh" >/dev/null
[ -f "$lin/build.ninja" ] || cmake -S "$root" -B "$lin" -G Ninja -Wno-dev >/dev/null
cmake --build "$win" --target transhoralotuxa window_driver
cmake --build "$lin" --target window_screenshots

# Both windows start in the same folder, which holds the example school.
start=$(mktemp -d /tmp/tht-screens-XXXXXX)
trap 'rm -rf "$start"' EXIT
cp -r "$root/examples/escuela" "$start/"
mkdir -p "$win/screenshots" "$lin/screenshots"

QT_QPA_PLATFORM=offscreen "$lin/tests/window_screenshots" "$start" "$lin/screenshots"
# The same window as a desktop shows it: framed by a window manager.
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  openbox >/dev/null 2>&1 &
  manager=$!
  status=0
  QT_QPA_PLATFORM=xcb "$@" || status=$?
  kill "$manager"
  exit "$status"' frame "$lin/tests/window_screenshots" "$start" "$lin/screenshots"

export WINEPREFIX="$win/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LANG=C.UTF-8
[ -f "$WINEPREFIX/system.reg" ] || wineboot -i >/dev/null 2>&1
xvfb-run -a -s "-screen 0 1024x768x24" \
  /usr/bin/python3 "$root/tests/windows/screenshots.py" "$win" "$start" "$win/screenshots"

for mode in interactive exportar importar; do
  /usr/bin/python3 "$root/tests/windows/images.py" side "$win/screenshots/side-$mode.png" \
    "$win/screenshots/win32-$mode.png" "$lin/screenshots/qt-$mode.png"
done
ls "$win/screenshots" "$lin/screenshots"
