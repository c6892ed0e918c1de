#!/usr/bin/env python3
"""TUXA.chm is a real compiled help file made of the pages of help/.

    test_chm.py TUXA.chm [unittest options]

Read with Debian's chmlib tools (enum_chmLib, extract_chmLib), not with our
own code: every page stored whole, a table of contents that lists each page
under its title in the viewer's code page, the contents page as the default
topic, and each help context of help/mapa.txt resolved the way HtmlHelpW
resolves HH_HELP_CONTEXT: /#IVB pairs a context number with an offset into
/#STRINGS, which holds the page's name. Also the build steps' refusals: a
broken help folder or a file that is no CHM stops the build with a message
naming what is wrong.
"""
import html
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
HELP = ROOT / "help"
SCRIPTS = ROOT / "scripts"
sys.path.insert(0, str(SCRIPTS))
from help_pages import HelpPages  # noqa: E402

CHM = None  # set from the command line


def stored_names(chm):
    out = subprocess.run(["enum_chmLib", str(chm)], check=True, capture_output=True, text=True).stdout
    return {line.split("\t")[-1] for line in out.splitlines() if "\t" in line}


def extract(chm, folder):
    subprocess.run(["extract_chmLib", str(chm), str(folder)], check=True, capture_output=True)


def context_map(folder):
    ivb = (folder / "#IVB").read_bytes()
    strings = (folder / "#STRINGS").read_bytes()
    size, = struct.unpack_from("<I", ivb)
    if size != len(ivb) - 4 or size % 8:
        raise AssertionError(f"#IVB declares {size} bytes, holds {len(ivb) - 4}")
    contexts = {}
    for pos in range(4, len(ivb), 8):
        number, offset = struct.unpack_from("<II", ivb, pos)
        contexts[number] = strings[offset:strings.index(b"\0", offset)].decode("utf-8")
    return contexts


def system_entries(folder):
    data = (folder / "#SYSTEM").read_bytes()
    entries, pos = {}, 4
    while pos + 4 <= len(data):
        code, length = struct.unpack_from("<HH", data, pos)
        entries[code] = data[pos + 4:pos + 4 + length]
        pos += 4 + length
    return entries


class CompiledHelp(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.pages = HelpPages(HELP)
        cls.tmp = Path(tempfile.mkdtemp())
        cls.files = cls.tmp / "chm"
        extract(CHM, cls.files)
        cls.names = stored_names(CHM)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.tmp)

    def test_is_an_itsf_version_3_file(self):
        header = CHM.read_bytes()[:8]
        self.assertEqual(header[:4], b"ITSF")
        self.assertEqual(struct.unpack_from("<I", header, 4)[0], 3)

    def test_every_page_is_stored_whole(self):
        self.assertTrue(self.pages.pages)
        for page in self.pages.pages:
            with self.subTest(page=page):
                self.assertIn("/" + page, self.names)
                self.assertEqual((self.files / page).read_bytes(), (HELP / page).read_bytes())

    def test_contents_lists_every_page_under_its_title(self):
        hhc = [n for n in self.names if n.lower().endswith(".hhc")]
        self.assertEqual(len(hhc), 1, self.names)
        text = (self.files / hhc[0].lstrip("/")).read_bytes().decode("cp1252")
        self.assertIn("charset=Windows-1252", text)
        items = re.findall(r'<param name="Name" value="([^"]*)">\s*<param name="Local" value="([^"]*)">', text)
        listed = [(html.unescape(name), local) for name, local in items]
        self.assertEqual(sorted(local for _, local in listed), self.pages.pages)
        self.assertEqual(listed[0][1], self.pages.contents)
        for name, local in listed:
            self.assertEqual(name, self.pages.title(local))
        # An accented title reaches the viewer as one Windows-1252 byte.
        self.assertIn("Cómo se usa la ventana", [name for name, _ in listed])

    def test_contents_page_is_the_default_topic(self):
        default_topic = system_entries(self.files)[2].rstrip(b"\0").decode("cp1252")
        self.assertEqual(default_topic, self.pages.contents)

    def test_each_help_context_opens_its_page(self):
        contexts = context_map(self.files)
        self.assertEqual(contexts, self.pages.contexts)
        self.assertEqual(contexts.get(3), "ventana.html", "F1 asks for context 3")
        for page in contexts.values():
            self.assertIn("/" + page, self.names)

    def test_holds_no_build_path(self):
        data = CHM.read_bytes()
        for path in {str(ROOT), str(CHM.parent)}:
            self.assertNotIn(path.encode(), data)


class BuildStepRefusals(unittest.TestCase):
    def setUp(self):
        self.tmp = Path(tempfile.mkdtemp())
        self.help = self.tmp / "help"
        shutil.copytree(HELP, self.help)

    def tearDown(self):
        shutil.rmtree(self.tmp)

    def run_script(self, name, *args):
        return subprocess.run([sys.executable, str(SCRIPTS / name), *map(str, args)], capture_output=True, text=True)

    def test_a_broken_help_folder_stops_the_project(self):
        cases = [
            ("mapa.txt", "contenido = index.html\n3 = ventanas.html\n", "ventanas.html"),
            ("mapa.txt", "3 = ventana.html\n", "contenido"),
            ("mapa.txt", "contenido = index.html\ntres = ventana.html\n", "mapa.txt:2"),
            ("tablas.html", "<html><head></head><body>sin título</body></html>", "tablas.html"),
            ("tablas.html", "<html><head><title>Łódź</title></head></html>", "Ł"),
        ]
        for file, text, named in cases:
            with self.subTest(file=file, text=text):
                original = (self.help / file).read_bytes()
                (self.help / file).write_text(text, encoding="utf-8")
                done = self.run_script("chm_project.py", self.help, self.tmp / "out", "TUXA.chm")
                (self.help / file).write_bytes(original)
                self.assertEqual(done.returncode, 1, done.stderr)
                self.assertIn(named, done.stderr)

    def test_the_map_is_written_only_into_a_chm(self):
        not_chm = self.tmp / "TUXA.chm"
        not_chm.write_bytes(b"MZ" + bytes(200))
        done = self.run_script("chm_context_map.py", self.help, not_chm)
        self.assertEqual(done.returncode, 1)
        self.assertIn("not an ITSF", done.stderr)
        self.assertEqual(not_chm.read_bytes(), b"MZ" + bytes(200))

    def test_writing_the_map_again_replaces_it(self):
        chm = self.tmp / "TUXA.chm"
        shutil.copy(CHM, chm)
        (self.help / "mapa.txt").write_text("contenido = index.html\n3 = ventana.html\n7 = tablas.html\n")
        done = self.run_script("chm_context_map.py", self.help, chm)
        self.assertEqual(done.returncode, 0, done.stderr)
        extract(chm, self.tmp / "x")
        self.assertEqual(context_map(self.tmp / "x"), {3: "ventana.html", 7: "tablas.html"})
        self.assertEqual(stored_names(chm) - {"/#IVB", "/#STRINGS"}, stored_names(CHM) - {"/#IVB", "/#STRINGS"})


if __name__ == "__main__":
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    CHM = Path(sys.argv.pop(1)).resolve()
    unittest.main()
