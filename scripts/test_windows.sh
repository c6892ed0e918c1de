#!/usr/bin/env bash
# The Windows program under Wine: cross-builds it (scripts/windows.sh), checks
# that every .exe is a PE32+ importing only Windows' own DLLs, runs the core
# suites, the command-line tests and the fault tests against
# transhoralotuxa-cli.exe, takes the example school through the prefix's
# C:\HTEMP with no environment override, comparing the tables and the
# timetable with the Linux build's (build/) byte for byte apart from the dates;
# checks TUXA.chm and the zip step, reads the icon back from both .exe of the
# zip, runs the command line of the zip unpacked into the prefix's
# C:\Horalina, and works the window of the zip, unpacked there
# too, through its controls under Xvfb.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
start=$SECONDS
"$root/scripts/windows.sh"
win="$root/build-win64"
cli="$win/src/transhoralotuxa-cli.exe"

echo "== Windows programs import only Windows' own DLLs"
system_dlls='^(kernel32|user32|gdi32|comctl32|comdlg32|shell32|shlwapi|advapi32|ole32|oleaut32|uxtheme|version|ws2_32|msvcrt|ucrtbase|api-ms-win-[a-z0-9-]+)\.dll$'
for exe in "$win"/src/*.exe "$win"/tests/*.exe; do
  format=$(x86_64-w64-mingw32-objdump -f "$exe")
  grep -q 'file format pei-x86-64' <<<"$format" || { echo "$exe is not a PE32+"; exit 1; }
  for dll in $(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p'); do
    echo "$dll" | grep -qiE "$system_dlls" || { echo "$exe imports $dll"; exit 1; }
  done
done

# A prefix of our own, in the build folder; one Wine server for every program
# of the run, so that each starts in a tenth of a second.
export WINEPREFIX="$win/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LANG=C.UTF-8
unset HORALINA_HTEMP TUXA_CODEPAGE
[ -f "$WINEPREFIX/system.reg" ] || wineboot -i >/dev/null 2>&1
wineserver -k 2>/dev/null || true  # a server left from an earlier run
wineserver -p
trap 'wineserver -k 2>/dev/null || true' EXIT
# Wine's own services start with the first program and stay with the server:
# started here, they hold no test's output open (ctest would wait for them).
wine "$cli" --version >/dev/null 2>&1 </dev/null

echo "== core suites and command line under Wine"
# Each program's output whole in ctest-windows.xml; a failed one's is printed
# indented, so that ./test, reading this script's output, counts it once.
junit="$win/ctest-windows.xml"
rm -f "$junit"
if ! ctest --test-dir "$win" -j "$(nproc)" --output-junit "$junit" \
       --test-output-size-passed 10000000 --test-output-size-failed 10000000; then
  [ -f "$junit" ] && /usr/bin/python3 "$root/scripts/test_results.py" --junit "$junit"
  exit 1
fi

echo "== TUXA.chm and the zip step"
/usr/bin/python3 "$root/tests/windows/test_chm.py" "$win/src/TUXA.chm" -v
/usr/bin/python3 "$root/tests/windows/test_package.py" -v

echo "== fault tests under Wine"
/usr/bin/python3 "$root/tests/faults/test_faults.py" "$cli" --prefix wine --holder "$win/tests/hold_file.exe"

echo "== example school through C:\\HTEMP, against the Linux build"
linux_cli="$root/build/src/transhoralotuxa-cli"
if [ ! -x "$linux_cli" ]; then
  "$root/scripts/setup.sh"
  cmake -S "$root" -B "$root/build" -G Ninja -Wno-dev >/dev/null
  cmake --build "$root/build" --target transhoralotuxa-cli
fi
e2e="$win/end-to-end"
htemp="$WINEPREFIX/drive_c/HTEMP"
rm -rf "$e2e" "$htemp"
mkdir -p "$e2e/linux-htemp"
cp -r "$root/examples/escuela" "$e2e/linux"
cp -r "$root/examples/escuela" "$e2e/windows"
wine "$cli" exportar "$e2e/windows" --quiet
cp "$root/examples/horalina/SOLUC.DBF" "$htemp/"
wine "$cli" importar "$e2e/windows" --quiet
"$linux_cli" exportar "$e2e/linux" --htemp "$e2e/linux-htemp" --quiet
cp "$root/examples/horalina/SOLUC.DBF" "$e2e/linux-htemp/"
"$linux_cli" importar "$e2e/linux" --htemp "$e2e/linux-htemp" --quiet
/usr/bin/python3 "$root/tests/windows/same_output.py" "$htemp" "$e2e/windows" "$e2e/linux-htemp" "$e2e/linux"

echo "== the package, unpacked into C:\\Horalina of the prefix"
horalina="$WINEPREFIX/drive_c/Horalina"
school="$e2e/package-school"
rm -rf "$horalina" "$school"
mkdir -p "$horalina"
package="$root/dist/$("$root/scripts/windows_zip.sh" --name "$win")"
unzip -q "$package" -d "$horalina"
# Explorer and the taskbar show the program's own icon for both programs.
/usr/bin/python3 "$root/tests/windows/exe_icon.py" "$win/icon/transhoralotuxa.ico" \
  "$horalina/transhoralotuxa.exe" "$horalina/transhoralotuxa-cli.exe"
# Started from there as Horalina would, on a fresh copy of the example school
# and with no environment override: the six tables land in the prefix's real
# C:\HTEMP.
rm -rf "$htemp"
cp -r "$root/examples/escuela" "$school"
wine 'C:\Horalina\transhoralotuxa-cli.exe' exportar "$school" --quiet
/usr/bin/python3 "$root/tests/windows/check_tables.py" "$htemp" "$e2e/linux-htemp"

echo "== the window of the package under Xvfb, worked through its controls"
# Its own display; the script restarts the prefix's server under it. Each case
# unpacks the zip into C:\Horalina and starts the window as Horalina does.
xvfb-run -a -s "-screen 0 1024x768x24" \
  /usr/bin/python3 "$root/tests/windows/test_window.py" "$win" "$linux_cli" "$package"

echo "== Windows part: $((SECONDS - start)) s"
