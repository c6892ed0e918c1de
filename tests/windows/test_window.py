#!/usr/bin/env python3
"""transhoralotuxa.exe under Wine and Xvfb, worked from another process as a
user works it (tests/windows/window_driver.cpp): the panels of each run mode,
the runs and their message boxes in order, the tables in the prefix's real
C:\\HTEMP, "Horalina.ini" beside the .exe, one run per window, Alt+S, help, and
the run's problems told before the window closes, their report opened in Notepad,
and an export that replaced a set undone from that box.

    xvfb-run -a -s "-screen 0 1024x768x24" test_window.py BUILD_WIN64 LINUX_CLI PACKAGE_ZIP

WINEPREFIX (and WINEDEBUG, WINEDLLOVERRIDES, LANG) come from the caller;
LINUX_CLI is the Linux command line, whose tables the window's must equal;
PACKAGE_ZIP the Windows package, unpacked beside Horalina for each case.
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import unittest
import zipfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import images  # noqa: E402
import same_output  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.dirname(os.path.dirname(HERE))
CAPTION = "Exportar e importar datos entre Horalina y TUXA"
TITLE = "transHoraloTuxa"
FINISHED = "Proceso finalizado"
PROBLEMS = "Informe de la ejecución"  # the title of the box that tells a run's problems
REPORT = "INFORME_TRANSHORALOTUXA.TXT"
NOTEPAD = "Notepad"  # the class of Notepad's window, Wine's as Windows'

BUILD = LINUX_CLI = PACKAGE = None  # from the command line
PREFIX = os.environ.get("WINEPREFIX", "")
HTEMP = os.path.join(PREFIX, "drive_c", "HTEMP")
INSTALL = os.path.join(PREFIX, "drive_c", "Horalina")  # where the .exe lies, as beside Horalina

def wine(*args, **kwargs):
    return subprocess.run(["wine", *args], stdin=subprocess.DEVNULL, capture_output=True, text=True, encoding="utf-8",
                          timeout=120, **kwargs)


def restart_server(persistent=True):
    subprocess.run(["wineserver", "-k"], check=False)
    subprocess.run(["wineserver", "-w"], check=False)
    if persistent:
        subprocess.run(["wineserver", "-p"], check=False)
        # Wine's own services start with the first program and stay with the
        # server: started here, they hold no later program's output open.
        subprocess.run(["wine", os.path.join(BUILD, "tests", "window_driver.exe"), "windows", "TMForm"],
                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=False)


def virtual_desktop(on):
    """Every window of the prefix inside one desktop window of Wine's own: with
    no window manager on the display, Wine would otherwise wait for one each
    time a window is hidden."""
    explorer = "HKCU\\Software\\Wine\\Explorer"
    if on:
        wine("reg", "add", explorer, "/v", "Desktop", "/d", "Default", "/f")
        wine("reg", "add", explorer + "\\Desktops", "/v", "Default", "/d", "1024x768", "/f")
    else:
        wine("reg", "delete", explorer, "/v", "Desktop", "/f")
        wine("reg", "delete", explorer + "\\Desktops", "/f")


def windows_path(unix_path):
    return "Z:" + os.path.abspath(unix_path).replace("/", "\\")


class Control:
    def __init__(self, line):
        f = line.split("\t")
        self.name, self.kind, self.text = f[0], f[1], f[2]
        self.bounds = tuple(int(v) for v in f[3:7])
        self.visible, self.enabled, self.parent = f[7] == "1", f[8] == "1", f[9]


class Placed:
    """A control as the window's table places it in a run mode (window_driver layout)."""

    def __init__(self, line):
        f = line.split("\t")
        self.name, self.parent = f[0], f[1]
        self.bounds = tuple(int(v) for v in f[2:6])
        self.shown, self.width_rule, self.tab, self.caption = f[6] == "1", f[7], int(f[8]), f[9]


def layout(mode):
    """The window's table in a run mode (both, export or import), by name."""
    out = wine(os.path.join(BUILD, "tests", "window_driver.exe"), "layout", mode)
    if out.returncode != 0:
        raise AssertionError(f"window_driver layout {mode}: {out.stdout}")
    return {p.name: p for p in (Placed(line) for line in out.stdout.splitlines() if line)}


class Window:
    """The window started as Horalina starts it, and the driver's commands."""

    def __init__(self, arguments, folder):
        exe = "C:\\Horalina\\transhoralotuxa.exe"
        # The directory list starts at the process's current folder.
        self.process = subprocess.Popen(["wine", exe, *arguments], cwd=folder,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if self.drive("wait", CAPTION, "30").returncode != 0:
            raise AssertionError("the window did not appear")

    def drive(self, command, *args):
        return wine(os.path.join(BUILD, "tests", "window_driver.exe"), command, *args)

    def controls(self):
        out = self.drive("controls", CAPTION)
        return {c.name: c for c in (Control(line) for line in out.stdout.splitlines() if line)}

    def click(self, name):
        self.drive("click", CAPTION, name)

    def open(self, entry):
        before = self.controls()["Label2"].text
        if self.drive("open", CAPTION, entry).returncode != 0:
            raise AssertionError(f"no line [{entry}] in the directory list")
        for _ in range(100):
            if self.controls()["Label2"].text != before:
                return
            time.sleep(0.05)
        raise AssertionError(f"opening [{entry}] changed nothing")

    def keys(self, *keys):
        if self.drive("keys", CAPTION, *keys).returncode != 0:
            raise AssertionError(f"the window did not come to the front for {keys}")

    def box(self, seconds=60, title=TITLE, answer="ok"):
        """The next message box: (has an icon, text); answered with its OK, Sí or No."""
        out = self.drive("box", title, str(seconds))
        if out.returncode != 0:
            return None
        icon, _, text = out.stdout.rstrip("\n").partition("\t")
        if self.drive("answer", title, answer).returncode != 0:
            raise AssertionError(f"the box {title} has no button {answer}")
        return icon == "icon", text

    def problems(self, answer):
        """The box that tells a run's problems, answered Sí (open the report) or No."""
        return self.box(30, PROBLEMS, answer)

    def problems_with_buttons(self, press):
        """The problems box with buttons of its own (a task dialog): (has an icon, text,
        its buttons' texts in order), answered with the button whose text is press."""
        out = self.drive("box", PROBLEMS, "30")
        if out.returncode != 0:
            raise AssertionError("no problems box")
        icon, _, text = out.stdout.rstrip("\n").partition("\t")
        buttons = [line.split("\t", 1) for line in self.drive("buttons", PROBLEMS).stdout.splitlines() if line]
        ids = {label: number for number, label in buttons}
        if press not in ids:
            raise AssertionError(f"the box has no button {press}: {buttons}")
        if self.drive("answer", PROBLEMS, ids[press]).returncode != 0:
            raise AssertionError(f"the button {press} did not close the box")
        return icon == "icon", text, [label for _, label in buttons]

    def boxes_until_finished(self):
        """Every box of a run up to "Proceso finalizado", in order."""
        shown = []
        while not shown or shown[-1][1] != FINISHED:
            b = self.box()
            if b is None:
                raise AssertionError(f"no more boxes after {shown}")
            shown.append(b)
        return shown

    def no_box(self, seconds=1.5, title=TITLE):
        return self.drive("nobox", title, str(seconds)).returncode == 0

    def viewer(self):
        """Notepad's title and text once it shows the report, or None; it is closed."""
        out = self.drive("viewer", NOTEPAD, "30")
        if out.returncode != 0:
            return None
        title, _, text = out.stdout.partition("\n")
        self.drive("close", NOTEPAD)
        return title, text.replace("\r\n", "\n").rstrip("\n")

    def gone(self, seconds=20):
        if self.drive("gone", CAPTION, str(seconds)).returncode != 0:
            return False
        self.process.wait(timeout=20)
        return True

    def end(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
            # What the killed window held open (a box, the viewer) goes with the prefix's server.
            restart_server()


# What the example school's planted problems make the window say.
EXAMPLE_PROBLEMS = ("Datos con problemas: 6 líneas o registros y 0 avisos.\n"
                    f"Los detalles están en el informe C:\\HTEMP\\{REPORT}.\n\n¿Desea abrir el informe ahora?")


def clean_school(folder):
    """The example school without its planted problems: the lines that make them are taken out."""
    for name, lines in (("tuxa_prof.txt", {27}), ("tuxa_asignatgrupo.txt", {34, 83, 100, 184})):
        path = os.path.join(folder, name)
        with open(path, "rb") as f:
            kept = [line for number, line in enumerate(f.read().split(b"\r\n"), 1) if number not in lines]
        with open(path, "wb") as f:
            f.write(b"\r\n".join(kept))


def horalina_tables(folder=HTEMP):
    """Horalina's tables in a folder, by name, as bytes."""
    tables = {}
    for name in os.listdir(folder):
        if name.upper().endswith((".DBF", ".MDX")):
            with open(os.path.join(folder, name), "rb") as f:
                tables[name] = f.read()
    return tables


class WindowTest(unittest.TestCase):
    def setUp(self):
        # A short path, so that the folder label shows it whole.
        self.work = tempfile.mkdtemp(prefix="tht-window-")
        self.school = os.path.join(self.work, "escuela")
        shutil.copytree(os.path.join(SOURCE, "examples", "escuela"), self.school)
        self.path_to_school = ["escuela"]
        for folder in (HTEMP, INSTALL):
            if os.path.isdir(folder):
                shutil.rmtree(folder)
            elif os.path.exists(folder):
                os.remove(folder)
        with zipfile.ZipFile(PACKAGE) as package:
            package.extractall(INSTALL)
        # Each help case brings the help file it needs.
        os.replace(os.path.join(INSTALL, "TUXA.chm"), os.path.join(self.work, "TUXA.chm"))
        self.window = None

    def tearDown(self):
        if self.window:
            self.window.end()
        shutil.rmtree(self.work, ignore_errors=True)

    def start(self, *arguments):
        self.window = Window(list(arguments), self.work)
        return self.window

    def ini(self):
        path = os.path.join(INSTALL, "Horalina.ini")
        if not os.path.exists(path):
            return None
        with open(path, "rb") as f:
            return f.read().decode("latin-1")

    def linux_run(self, direction, htemp=None):
        """The same run by the Linux command line: its HTEMP and TUXA folders."""
        linux = os.path.join(self.work, "linux")
        if not os.path.isdir(linux):
            shutil.copytree(os.path.join(SOURCE, "examples", "escuela"), os.path.join(linux, "tuxa"))
            os.makedirs(os.path.join(linux, "htemp"))
        if htemp:
            shutil.copy(htemp, os.path.join(linux, "htemp"))
        subprocess.run([LINUX_CLI, direction, os.path.join(linux, "tuxa"), "--htemp", os.path.join(linux, "htemp"),
                        "--quiet"], check=False, capture_output=True)
        return os.path.join(linux, "htemp"), os.path.join(linux, "tuxa")

    def assertPanels(self, controls, mode):
        """Every control where the window's table puts it in that run mode."""
        for name, placed in layout(mode).items():
            c = controls[name]
            self.assertEqual(c.visible, placed.shown, name)
            if not placed.shown:
                continue
            self.assertEqual(c.parent, placed.parent, name)
            self.assertEqual(c.bounds[:2] + c.bounds[3:], placed.bounds[:2] + placed.bounds[3:], name)
            if placed.width_rule == "grows":  # one line: may widen to a wider font's text
                self.assertGreaterEqual(c.bounds[2], placed.bounds[2], name)
            elif placed.width_rule == "text":  # as wide as its text, never wider than its bounds
                self.assertLessEqual(c.bounds[2], placed.bounds[2], name)
            else:
                self.assertEqual(c.bounds[2], placed.bounds[2], name)

    def choose_school(self, window):
        for entry in self.path_to_school:
            window.open(entry)
        self.assertEqual(window.controls()["Label2"].text, windows_path(self.school))

    def move_school_deeper(self):
        """The school in a folder whose path is wider than the directory list."""
        self.path_to_school = ["una carpeta de nombre largo", "con otra carpeta dentro", "y otra más", "escuela"]
        deep = os.path.join(self.work, *self.path_to_school)
        shutil.move(self.school, deep)
        self.school = deep

    def test_interactive_one_run_then_alt_s(self):
        self.move_school_deeper()
        w = self.start()
        c = w.controls()
        self.assertPanels(c, "both")
        table = layout("both")
        for name, placed in table.items():
            if placed.caption:
                self.assertEqual(c[name].text, placed.caption, name)
        self.assertEqual(c["Label2"].text, windows_path(self.work))

        # The tab order: the export panel, the import panel, then inside the lower panel.
        tabs = sorted((p.tab, name) for name, p in table.items() if p.tab)
        order = []
        for _ in tabs:
            order.append(w.drive("focus", CAPTION).stdout.strip())
            w.keys("tab")
        self.assertEqual(order, [name for _, name in tabs])

        # The transfer panels painted from the start colour through white to the end colour.
        shot = os.path.join(self.work, "window.bmp")
        self.assertEqual(w.drive("screenshot", CAPTION, shot).returncode, 0)
        picture = images.read_bmp(shot)
        self.assertEqual((picture.width, picture.height), table["MForm"].bounds[2:])
        for panel in ("Draw3D2", "Draw3D3"):
            left, top, _, height = table[panel].bounds
            for y, colour in ((top, (249, 211, 125)), (top + height // 2, (255, 255, 255)),
                              (top + height - 1, (255, 238, 221))):
                x = left + 2
                got = picture.pixel(x, y)
                self.assertTrue(all(abs(a - b) <= 6 for a, b in zip(got, colour)), (x, y, got, colour))

        # A folder too wide for its label is shown shortened; the run uses it whole.
        for entry in self.path_to_school:
            w.open(entry)
        label2 = w.controls()["Label2"]
        self.assertTrue(label2.text.startswith("Z:\\\u2026\\"), label2.text)
        self.assertTrue(label2.text.endswith("\\y otra más\\escuela"), label2.text)
        self.assertLessEqual(label2.bounds[2], table["Label2"].bounds[2])
        w.click("BExportar")
        self.assertEqual(w.boxes_until_finished(), [(False, FINISHED)])
        # Interactive mode tells the problems too; No leaves the report unopened.
        self.assertEqual(w.problems("no"), (True, EXAMPLE_PROBLEMS))
        self.assertEqual(w.drive("windows", NOTEPAD).stdout.strip(), "0")
        c = w.controls()
        self.assertFalse(c["BExportar"].enabled)
        self.assertFalse(c["BImportar"].enabled)
        tables = sorted(name for name in os.listdir(HTEMP) if name.endswith(".DBF"))
        self.assertEqual(tables, sorted(t + ".DBF" for t in same_output.TABLES))
        # One completed run per window: the other button starts nothing.
        w.click("BImportar")
        self.assertTrue(w.no_box())
        self.assertFalse(os.path.exists(os.path.join(self.school, "TUXA_HORARIO.TXT")))

        w.keys("alt+s")
        self.assertTrue(w.gone())
        self.assertIsNone(self.ini(), "interactive mode never writes the status")

    def test_exportar_writes_the_tables_and_closes_itself(self):
        w = self.start("exportar", "C:\\HTEMP")
        self.assertPanels(w.controls(), "export")
        self.choose_school(w)
        w.click("BExportar")
        self.assertEqual(w.boxes_until_finished(), [(False, FINISHED)])
        # The planted problems are told before the window closes, and Sí opens the report in Notepad.
        self.assertEqual(w.problems("yes"), (True, EXAMPLE_PROBLEMS))
        title, text = w.viewer()
        self.assertIn(REPORT, title)
        lines = text.split("\n")
        self.assertEqual(lines[0], "INFORME DE TRANSHORALOTUXA", "the byte-order mark is not shown")
        for planted in ("    tuxa_prof.txt, línea 27: profesor \"garc\"",
                        "    tuxa_asignatgrupo.txt, línea 83: asignatura \"ROBOTICA\", identificador \"10099\"",
                        "    tuxa_asignatgrupo.txt, línea 100 (ASIGT, registro 97): grupo \"3ESOC\""):
            self.assertIn(planted, lines)
        self.assertTrue(w.gone(), "command-line mode closes the window after the run")
        self.assertEqual(self.ini(), "[Transformadores]\r\nTransformado=1\r\n")
        linux_htemp, _ = self.linux_run("exportar")
        for table in same_output.TABLES:
            self.assertEqual(same_output.table(HTEMP, table), same_output.table(linux_htemp, table), table)

    def test_clean_school_closes_as_ever(self):
        clean_school(self.school)
        w = self.start("exportar", "C:\\HTEMP")
        self.choose_school(w)
        w.click("BExportar")
        self.assertEqual(w.boxes_until_finished(), [(False, FINISHED)])
        self.assertTrue(w.gone(), "nothing to tell: the window closes after Proceso finalizado")
        self.assertTrue(w.no_box(0.5, PROBLEMS))
        self.assertEqual(self.ini(), "[Transformadores]\r\nTransformado=1\r\n")
        self.assertTrue(os.path.isfile(os.path.join(HTEMP, REPORT)), "the report is written all the same")
        self.assertEqual(w.drive("windows", NOTEPAD).stdout.strip(), "0")

    def test_importar_writes_the_timetable_and_closes_itself(self):
        cli = os.path.join(INSTALL, "transhoralotuxa-cli.exe")
        wine(cli, "exportar", self.school, "--quiet")
        shutil.copy(os.path.join(SOURCE, "examples", "horalina", "SOLUC.DBF"), HTEMP)
        with open(os.path.join(INSTALL, "Horalina.ini"), "wb") as f:
            f.write(b"[Horalina]\r\nCurso=2024\r\n")
        w = self.start("IMPORTAR", "x")
        self.assertPanels(w.controls(), "import")
        self.choose_school(w)
        w.click("BImportar")
        self.assertEqual(w.boxes_until_finished(), [(False, FINISHED)])
        icon, text = w.problems("no")
        self.assertTrue(text.startswith("Datos con problemas: 7 líneas o registros y 0 avisos.\n"), text)
        self.assertTrue(w.gone())
        self.assertEqual(self.ini(), "[Horalina]\r\nCurso=2024\r\n[Transformadores]\r\nTransformado=1\r\n")
        linux_htemp, linux_tuxa = self.linux_run("exportar")
        self.linux_run("importar", os.path.join(SOURCE, "examples", "horalina", "SOLUC.DBF"))
        self.assertEqual(same_output.timetable(self.school), same_output.timetable(linux_tuxa))

    def test_big_change_undone_from_the_box(self):
        cli = os.path.join(INSTALL, "transhoralotuxa-cli.exe")
        wine(cli, "exportar", self.school, "--quiet")
        first = horalina_tables()
        self.assertEqual(sorted(first), sorted(t + ".DBF" for t in same_output.TABLES))
        # Last year's teachers file, with two thirds of its lines gone.
        path = os.path.join(self.school, "tuxa_prof.txt")
        with open(path, "rb") as f:
            lines = f.read().split(b"\r\n")
        with open(path, "wb") as f:
            f.write(b"\r\n".join(lines[:len(lines) // 3]) + b"\r\n")

        w = self.start("exportar", "C:\\HTEMP")
        self.choose_school(w)
        w.click("BExportar")
        self.assertEqual(w.boxes_until_finished(), [(False, FINISHED)])
        self.assertNotEqual(horalina_tables(), first, "the export replaced the tables")
        icon, text, buttons = w.problems_with_buttons("Deshacer la exportación")
        self.assertTrue(icon)
        self.assertNotIn(" y 0 avisos", text, "the big change is a warning")
        self.assertIn("puede deshacer la exportación", text)
        self.assertEqual(buttons, ["Abrir el informe", "Deshacer la exportación", "Cerrar"])
        icon, text = w.box()
        self.assertFalse(icon)
        self.assertTrue(text.startswith("Exportación deshecha"), text)
        # The undone export's tables are kept in turn, in the folder the box names.
        kept = text.rsplit(" en ", 1)[1].rstrip(".")
        self.assertTrue(kept.startswith("C:\\HTEMP\\"), kept)
        kept = os.path.join(PREFIX, "drive_c", *kept[3:].split("\\"))
        self.assertEqual(sorted(horalina_tables(kept)), sorted(first))
        self.assertTrue(w.gone(), "command-line mode closes the window after the undo")
        self.assertEqual(horalina_tables(), first, "the first export's tables, byte for byte")
        self.assertEqual(self.ini(), "[Transformadores]\r\nTransformado=0\r\n", "nothing new for Horalina")
        self.assertEqual(w.drive("windows", NOTEPAD).stdout.strip(), "0")

    def test_folder_gone_in_command_line_mode(self):
        w = self.start("importar", "x")
        self.choose_school(w)
        shutil.rmtree(self.school)
        w.click("BImportar")
        self.assertEqual(w.box(), (False, "No existe la carpeta"))
        self.assertTrue(w.gone(), "no second chance in command-line mode")
        self.assertEqual(self.ini(), "[Transformadores]\r\nTransformado=0\r\n")

    def test_closed_before_any_run_writes_0(self):
        w = self.start("exportar", "x")
        w.keys("alt+s")
        self.assertTrue(w.gone())
        self.assertEqual(self.ini(), "[Transformadores]\r\nTransformado=0\r\n")

    def test_title_bar_shows_the_programs_icon(self):
        w = self.start()
        out = w.drive("titleicon", CAPTION)
        self.assertEqual(out.returncode, 0, out.stdout)
        height, blue, red = (int(v) for v in out.stdout.split("\t"))
        # Both directions' arrows, in the form's blue and red: the generic icon
        # and the title bar's own colours have neither.
        self.assertGreater(blue, 4, out.stdout)
        self.assertGreater(red, 4, out.stdout)

    def test_wrong_argument_count_and_a_run_that_stops(self):
        w = self.start("exportar", "x", "y")
        self.assertPanels(w.controls(), "both")
        self.choose_school(w)
        with open(HTEMP, "wb") as f:  # a file where Horalina's folder should be
            f.write(b"x")
        w.click("BExportar")
        icon, text = w.box()
        self.assertTrue(icon, "an error box")
        self.assertIn("C:\\HTEMP", text)
        self.assertTrue(w.no_box(), "no Proceso finalizado after an error")
        c = w.controls()
        self.assertTrue(c["BExportar"].enabled and c["BImportar"].enabled)
        # The window stays open: the cause mended, the same window runs again.
        os.remove(HTEMP)
        w.click("BExportar")
        self.assertEqual(w.boxes_until_finished(), [(False, FINISHED)])
        self.assertEqual(w.problems("no"), (True, EXAMPLE_PROBLEMS))
        self.assertTrue(w.process.poll() is None, "three arguments: interactive, the window stays")
        w.keys("alt+s")
        self.assertTrue(w.gone())
        self.assertIsNone(self.ini())

    def test_help_that_cannot_be_opened_is_reported(self):
        w = self.start()
        w.keys("f1")
        where = "C:\\Horalina\\TUXA.chm"
        self.assertEqual(w.box(), (True, f"No se encuentra la ayuda TUXA.chm ({where})."))
        with open(os.path.join(INSTALL, "TUXA.chm"), "wb") as f:
            f.write(b"no es una ayuda")
        w.click("Button1")
        icon, text = w.box()
        self.assertTrue(icon)
        self.assertTrue(text.startswith(f"No se puede abrir la ayuda {where}: "), text)
        self.assertIsNotNone(w.controls().get("MForm"), "the window is still there")


    def compiled_help(self, with_context_3=True):
        """A small TUXA.chm compiled from our pages, with or without the map that sends context 3 to its page."""
        if not shutil.which("chmcmd"):
            self.skipTest("no chmcmd (fp-utils) to compile a help file")
        project = os.path.join(self.work, "chm")
        shutil.rmtree(project, ignore_errors=True)
        os.makedirs(project)
        for page in ("index.html", "ventana.html"):
            shutil.copy(os.path.join(SOURCE, "help", page), project)
        mapping = "[MAP]\n#define IDH_VENTANA 3\n\n[ALIAS]\nIDH_VENTANA=ventana.html\n" if with_context_3 else ""
        with open(os.path.join(project, "ayuda.hhp"), "w", encoding="ascii", newline="\r\n") as f:
            f.write("[OPTIONS]\nCompiled file=TUXA.chm\nDefault topic=index.html\nTitle=Ayuda\n\n"
                    "[FILES]\nindex.html\nventana.html\n\n" + mapping)
        subprocess.run(["chmcmd", "ayuda.hhp"], cwd=project, check=True, capture_output=True)
        return os.path.join(project, "TUXA.chm")

    def help_file(self):
        """The package's TUXA.chm."""
        return os.path.join(self.work, "TUXA.chm")

    def test_f1_asks_for_context_3(self):
        shutil.copy(self.compiled_help(with_context_3=False), INSTALL)
        w = self.start()
        w.keys("f1")
        self.assertEqual(w.box(), (True, "No se puede abrir la ayuda C:\\Horalina\\TUXA.chm: "
                                         "el visor de ayuda no ha podido mostrar el tema 3."))
        w.click("Button1")  # the contents need no map
        self.assertIsNone(w.box(2))
        self.assertEqual(w.drive("windows", "HH Parent").stdout.strip(), "1")

    def test_help_opens_in_the_viewer(self):
        shutil.copy(self.help_file(), INSTALL)
        w = self.start()
        w.keys("f1")
        self.assertTrue(w.no_box(3), "F1 opens the help without a word")
        self.assertEqual(w.drive("windows", "HH Parent").stdout.strip(), "1")
        w.click("Button1")
        self.assertTrue(w.no_box(2), "the help button too")
        self.assertEqual(w.drive("windows", "HH Parent").stdout.strip(), "1", "the same viewer, at the contents")
        w.keys("alt+s")
        self.assertTrue(w.gone(), "the viewer goes with the window")
        self.assertEqual(w.drive("windows", "HH Parent").stdout.strip(), "0")


class ResourcesTest(unittest.TestCase):
    """What Windows reads from the .exe before it runs it."""

    def test_manifest_and_version(self):
        with open(os.path.join(BUILD, "src", "transhoralotuxa.exe"), "rb") as f:
            exe = f.read()
        for needed in (b'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"', b'level="asInvoker"',
                       b">true</dpiAware>", b">system</dpiAwareness>"):
            self.assertIn(needed, exe)
        with open(os.path.join(SOURCE, "CMakeLists.txt"), encoding="utf-8") as f:
            version = re.search(r"project\(transhoralotuxa VERSION ([0-9.]+)", f.read()).group(1)
        for key, value in (("FileVersion", version), ("ProductVersion", version), ("ProductName", TITLE),
                           ("FileDescription", CAPTION), ("OriginalFilename", "transhoralotuxa.exe")):
            self.assertIn((key + "\0").encode("utf-16-le"), exe, key)
            self.assertIn((value + "\0").encode("utf-16-le"), exe, key)


def main():
    global BUILD, LINUX_CLI, PACKAGE
    BUILD, LINUX_CLI, PACKAGE = (os.path.abspath(a) for a in sys.argv[1:4])
    # The prefix's services start again under this display, with one server
    # for every program of the run.
    restart_server(persistent=False)
    virtual_desktop(True)
    restart_server()
    try:
        result = unittest.main(argv=[sys.argv[0], "-v"] + sys.argv[4:], exit=False).result
    finally:
        restart_server(persistent=False)
        virtual_desktop(False)
        restart_server(persistent=False)
    return 0 if result.wasSuccessful() else 1


if __name__ == "__main__":
    sys.exit(main())
