#!/usr/bin/env python3
"""The Windows zip step (scripts/windows_zip.sh) on a made-up build folder:
the four files flat and in order, LEEME.txt as Notepad shows it, the same
bytes from the same sources, no build path inside, and a missing file named
with no zip left behind.

    test_package.py [unittest options]
"""
import os
import shutil
import subprocess
import tempfile
import unittest
import zipfile
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
ZIP_STEP = ROOT / "scripts" / "windows_zip.sh"
VERSION = "7.8.9"
ZIP = f"transhoralotuxa-{VERSION}-win64.zip"
BUILT = ["transhoralotuxa.exe", "transhoralotuxa-cli.exe", "TUXA.chm"]


class WindowsZip(unittest.TestCase):
    def setUp(self):
        self.tmp = Path(tempfile.mkdtemp())
        self.build = self.tmp / "build-win64"
        (self.build / "src").mkdir(parents=True)
        (self.build / "CMakeCache.txt").write_text(f"CMAKE_PROJECT_NAME:STATIC=transhoralotuxa\n"
                                                   f"CMAKE_PROJECT_VERSION:STATIC={VERSION}\n")
        for name in BUILT:
            (self.build / "src" / name).write_bytes(f"{name} as built".encode())
        self.dist = self.tmp / "dist"

    def tearDown(self):
        shutil.rmtree(self.tmp)

    def pack(self):
        return subprocess.run(["bash", str(ZIP_STEP), str(self.build), str(self.dist)],
                              capture_output=True, text=True)

    def test_holds_the_four_files_flat_in_order(self):
        done = self.pack()
        self.assertEqual(done.returncode, 0, done.stderr)
        with zipfile.ZipFile(self.dist / ZIP) as z:
            self.assertEqual(z.namelist(), BUILT + ["LEEME.txt"])
            for name in BUILT:
                self.assertEqual(z.read(name), (self.build / "src" / name).read_bytes())
            leeme = z.read("LEEME.txt")
        source = (ROOT / "packaging" / "LEEME.txt").read_text(encoding="utf-8")
        self.assertTrue(leeme.startswith(b"\xef\xbb\xbf"), "Notepad needs the byte-order mark")
        self.assertNotIn(b"\n", leeme.replace(b"\r\n", b""), "every line ends in CR LF")
        self.assertEqual(leeme[3:].decode("utf-8").replace("\r\n", "\n"), source)
        for fact in ["C:\\HTEMP", "HORALINA_HTEMP", "Horalina.ini", "Transformado", "exportar", "importar"]:
            self.assertIn(fact, source)

    def test_same_sources_give_the_same_zip(self):
        self.assertEqual(self.pack().returncode, 0)
        first = (self.dist / ZIP).read_bytes()
        for name in BUILT:  # a later build of the same sources
            os.utime(self.build / "src" / name, (2_000_000_000, 2_000_000_000))
        self.assertEqual(self.pack().returncode, 0)
        second = (self.dist / ZIP).read_bytes()
        self.assertEqual(first, second)
        for path in (ROOT, self.tmp):
            self.assertNotIn(str(path).encode(), second)
        with zipfile.ZipFile(self.dist / ZIP) as z:
            for info in z.infolist():
                self.assertEqual(info.extra, b"", info.filename)

    def test_a_missing_file_is_named_and_leaves_no_zip(self):
        self.assertEqual(self.pack().returncode, 0)
        for name in BUILT:
            with self.subTest(missing=name):
                kept = (self.build / "src" / name).read_bytes()
                (self.build / "src" / name).unlink()
                done = self.pack()
                (self.build / "src" / name).write_bytes(kept)
                self.assertEqual(done.returncode, 1)
                self.assertIn(str(self.build / "src" / name), done.stderr)
                self.assertFalse((self.dist / ZIP).exists(), "an older zip of this version would pass for this one")

    def test_a_build_folder_without_version_is_refused(self):
        (self.build / "CMakeCache.txt").write_text("CMAKE_PROJECT_NAME:STATIC=transhoralotuxa\n")
        done = self.pack()
        self.assertEqual(done.returncode, 1)
        self.assertIn("CMakeCache.txt", done.stderr)
        self.assertFalse(self.dist.exists() and any(self.dist.iterdir()))


if __name__ == "__main__":
    unittest.main()
