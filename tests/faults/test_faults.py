#!/usr/bin/env python3
"""Runs stopped by a fault lose nothing and say what happened.

Each case goes end to end through the command line: the run completes, or it
stops with exit code 2 and a Spanish message naming the file and the cause,
and the previous tables and TUXA_HORARIO.TXT are left as they were.

    test_faults.py CLI [--long] [--prefix CMD] [--holder EXE]   (run with /usr/bin/python3, for dbfread)

--prefix runs the command line through another program, e.g. "wine" for the
Windows build; the cases that only a POSIX program can meet are then skipped.
--holder names the Windows program that holds a file open as Horalina does.
"""
import fcntl
import functools
import hashlib
import os
import random
import resource
import shlex
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest

from dbfread import DBF

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
CLI = None
PREFIX = []
HOLDER = None
LONG = False
TABLES = ["ASIGNOMT", "PROFT", "AULAT", "GRUPOST", "ASIGT", "DIASHORAST"]


def digest(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


def snapshot(folder):
    return {name: digest(os.path.join(folder, name)) for name in sorted(os.listdir(folder))
            if os.path.isfile(os.path.join(folder, name))}


def command(*args):
    return [*PREFIX, CLI, *args]


def run(*args, **kwargs):
    return subprocess.run(command(*args), capture_output=True, text=True, timeout=600, **kwargs)


def posix_only(why):
    """Skips a case that needs the command line to be a POSIX program."""
    def wrap(test):
        @functools.wraps(test)
        def checked(self, *args, **kwargs):
            if PREFIX:
                self.skipTest(why)
            return test(self, *args, **kwargs)
        return checked
    return wrap


class Fixture(unittest.TestCase):
    def setUp(self):
        self.work = tempfile.mkdtemp(prefix="tht-faults-")
        os.chmod(self.work, 0o755)
        self.tuxa = os.path.join(self.work, "escuela")
        self.htemp = os.path.join(self.work, "htemp")
        shutil.copytree(os.path.join(ROOT, "examples", "escuela"), self.tuxa)
        r = run("exportar", self.tuxa, "--htemp", self.htemp, "--quiet")
        self.assertEqual(r.returncode, 0, r.stderr)
        shutil.copy(os.path.join(ROOT, "examples", "horalina", "SOLUC.DBF"), self.htemp)
        r = run("importar", self.tuxa, "--htemp", self.htemp, "--quiet")
        self.assertEqual(r.returncode, 0, r.stderr)
        self.timetable = os.path.join(self.tuxa, "TUXA_HORARIO.TXT")

    def tearDown(self):
        subprocess.run(["chmod", "-R", "u+rwx", self.work])
        shutil.rmtree(self.work, ignore_errors=True)

    def assertStopped(self, result, *words):
        """Exit 2, an error line in Spanish naming what failed, and no crash."""
        self.assertEqual(result.returncode, 2, result.stdout + result.stderr)
        self.assertIn("error: ", result.stderr)
        for word in words:
            self.assertIn(word, result.stderr)

    def assertCompletedOrStopped(self, result):
        self.assertIn(result.returncode, (0, 1, 2), result.stderr)
        if result.returncode == 2:
            self.assertIn("error: ", result.stderr)

    def write_tuxa(self, name, data):
        with open(os.path.join(self.tuxa, name), "wb") as f:
            f.write(data)


class HoralinaFolderFaults(Fixture):
    @posix_only("runs the program as another POSIX user; Wine refuses a prefix that user does not own")
    def test_read_only_folder(self):
        before = snapshot(self.htemp)
        os.chmod(self.htemp, 0o555)
        for name in os.listdir(self.tuxa):
            os.chmod(os.path.join(self.tuxa, name), 0o644)
        nobody = ["setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"]
        r = subprocess.run(nobody + command("exportar", self.tuxa, "--htemp", self.htemp),
                           capture_output=True, text=True)
        self.assertStopped(r, "ASIGNOMT", "permiso denegado")
        self.assertEqual(snapshot(self.htemp), before)

    @posix_only("runs the program as another POSIX user; Wine refuses a prefix that user does not own")
    def test_read_only_tables(self):
        """Tables their owner made read-only are read, never replaced."""
        before, timetable = snapshot(self.htemp), digest(self.timetable)
        for name in os.listdir(self.htemp):
            os.chmod(os.path.join(self.htemp, name), 0o444)
        os.chmod(self.htemp, 0o777)
        os.chmod(self.tuxa, 0o777)
        nobody = ["setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"]
        r = subprocess.run(nobody + command("importar", self.tuxa, "--htemp", self.htemp, "--quiet"),
                           capture_output=True, text=True)
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertEqual(digest(self.timetable), timetable)
        r = subprocess.run(nobody + command("exportar", self.tuxa, "--htemp", self.htemp),
                           capture_output=True, text=True)
        self.assertStopped(r, "ASIGNOMT.DBF", "permiso denegado")
        self.assertEqual(snapshot(self.htemp), before)

    def test_folder_removed_during_the_run(self):
        big = os.path.join(self.work, "big")
        subprocess.run([sys.executable, os.path.join(ROOT, "bench", "generate_district.py"), "--schools", "300", big],
                       check=True)
        for delay in (0.02, 0.1, 0.3):
            htemp = os.path.join(self.work, f"gone-{delay}")
            os.makedirs(htemp)
            p = subprocess.Popen(command("exportar", big, "--htemp", htemp, "--quiet"),
                                 stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
            time.sleep(delay)
            shutil.rmtree(htemp, ignore_errors=True)
            out, err = p.communicate(timeout=300)
            self.assertCompletedOrStopped(subprocess.CompletedProcess(p.args, p.returncode, out, err))

    def test_table_file_that_is_a_folder(self):
        os.remove(os.path.join(self.htemp, "PROFT.DBF"))
        os.mkdir(os.path.join(self.htemp, "PROFT.DBF"))
        before = snapshot(self.htemp)
        r = run("exportar", self.tuxa, "--htemp", self.htemp)
        self.assertStopped(r, "PROFT")
        self.assertTrue(os.path.isdir(os.path.join(self.htemp, "PROFT.DBF")))
        self.assertEqual({k: v for k, v in snapshot(self.htemp).items() if k != "ASIGNOMT.DBF"},
                         {k: v for k, v in before.items() if k != "ASIGNOMT.DBF"})
        r = run("importar", self.tuxa, "--htemp", self.htemp)
        self.assertStopped(r, "PROFT")

    @posix_only("a file-size limit is a POSIX resource; its signal ends Wine itself")
    def test_disk_full_through_file_size_limit(self):
        before, timetable = snapshot(self.htemp), digest(self.timetable)
        limit = lambda: resource.setrlimit(resource.RLIMIT_FSIZE, (20_000, 20_000))
        r = run("exportar", self.tuxa, "--htemp", self.htemp, preexec_fn=limit)
        self.assertStopped(r, "ASIGT", "demasiado grande")
        after = snapshot(self.htemp)
        self.assertEqual(after["ASIGT.DBF"], before["ASIGT.DBF"])
        self.assertEqual(len([n for n in os.listdir(self.htemp) if n.endswith(".tmp")]), 0)
        big = os.path.join(self.work, "big")
        subprocess.run([sys.executable, os.path.join(ROOT, "bench", "generate_district.py"), "--schools", "50", big],
                       check=True)
        shutil.copy(os.path.join(big, "SOLUC.DBF"), self.htemp)
        r = run("importar", self.tuxa, "--htemp", self.htemp, preexec_fn=limit)
        self.assertStopped(r, "TUXA_HORARIO.TXT")
        self.assertEqual(digest(self.timetable), timetable)

    def test_disk_full_on_a_small_file_system(self):
        mount = os.path.join(self.work, "small")
        os.mkdir(mount)
        if subprocess.run(["mount", "-t", "tmpfs", "-o", "size=36k", "tmpfs", mount]).returncode != 0:
            self.skipTest("no tmpfs mount here")
        try:
            for name in ("ASIGNOMT.DBF", "PROFT.DBF", "AULAT.DBF"):
                shutil.copy(os.path.join(self.htemp, name), mount)
            before = snapshot(mount)
            r = run("exportar", self.tuxa, "--htemp", mount)
            self.assertStopped(r, "no queda espacio")
            after = snapshot(mount)
            for name in before:
                self.assertIn(after[name], (before[name], snapshot(self.htemp)[name]))
            self.assertEqual([n for n in os.listdir(mount) if n.endswith(".tmp")], [])
        finally:
            subprocess.run(["umount", mount])


class SolutionFaults(Fixture):
    def soluc(self):
        return os.path.join(self.htemp, "SOLUC.DBF")

    def assertTimetableKept(self, result, *words):
        self.assertStopped(result, *words)
        self.assertEqual(digest(self.timetable), self.kept)

    def setUp(self):
        super().setUp()
        self.kept = digest(self.timetable)
        with open(self.soluc(), "rb") as f:
            self.bytes = f.read()

    def rewrite(self, data):
        with open(self.soluc(), "wb") as f:
            f.write(data)

    @posix_only("a POSIX lock: Windows programs see share modes (WindowsFaults)")
    def test_held_by_another_process(self):
        with open(self.soluc(), "r+b") as f:
            fcntl.lockf(f, fcntl.LOCK_EX)
            holder = run("importar", self.tuxa, "--htemp", self.htemp)
        self.assertTimetableKept(holder, "La tabla SOLUC está en uso por otro programa")

    @posix_only("a POSIX lock: Windows programs see share modes (WindowsFaults)")
    def test_held_with_flock(self):
        with open(self.soluc(), "rb") as f:
            fcntl.flock(f, fcntl.LOCK_EX)
            holder = run("importar", self.tuxa, "--htemp", self.htemp)
        self.assertTimetableKept(holder, "La tabla SOLUC está en uso por otro programa")

    def test_damaged(self):
        header_length = int.from_bytes(self.bytes[8:10], "little")
        record_length = int.from_bytes(self.bytes[10:12], "little")
        cases = {
            "truncated": self.bytes[:header_length + record_length * 3 + 7],
            "wrong record length": self.bytes[:10] + (record_length + 3).to_bytes(2, "little") + self.bytes[12:],
            "empty": b"",
            "header only": self.bytes[:20],
            "no terminator": self.bytes[:header_length - 1] + b"X" + self.bytes[header_length:],
            "huge count": self.bytes[:4] + (0x7FFFFFFF).to_bytes(4, "little") + self.bytes[8:],
        }
        for what, data in cases.items():
            with self.subTest(what):
                self.rewrite(data)
                try:
                    self.assertTimetableKept(run("importar", self.tuxa, "--htemp", self.htemp), "SOLUC")
                finally:
                    self.kept = digest(self.timetable)

    def test_unknown_code_page_byte_still_reads(self):
        self.rewrite(self.bytes[:29] + b"\xEE" + self.bytes[30:])
        r = run("importar", self.tuxa, "--htemp", self.htemp, "--quiet")
        self.assertEqual(r.returncode, 0, r.stderr)

    def test_a_million_entries(self):
        big = os.path.join(self.work, "million.py")
        with open(big, "w") as f:
            f.write(f"""
import struct
entries = 1_000_000
fields = [("DIA", "N", 2), ("HORA", "C", 2), ("MARCO", "C", 1), ("PROF", "C", 4), ("CODGRUPO", "C", 10),
          ("TAREA", "C", 10), ("ASIG", "C", 10), ("AULA", "C", 10)]
rl = 1 + sum(w for _, _, w in fields)
with open({self.soluc()!r}, "wb") as out:
    out.write(struct.pack("<BBBBIHH16xBB2x", 3, 124, 1, 1, entries, 32 + 32 * len(fields) + 1, rl, 0, 0x58))
    for name, kind, width in fields:
        out.write(struct.pack("<11sc4xBB14x", name.encode(), kind.encode(), width, 0))
    out.write(b"\\r")
    record = b" " + b" 1" + b"1 " + b"0" + b"GARC" + b"1ESOA     " + b"*LEC      " + b"LENGU10001" + b"A1-01     "
    out.write(record * entries)
    out.write(b"\\x1a")
""")
        subprocess.run([sys.executable, big], check=True)
        r = run("importar", self.tuxa, "--htemp", self.htemp, "--quiet")
        self.assertEqual(r.returncode, 0, r.stderr)
        with open(self.timetable, "rb") as f:
            self.assertEqual(sum(1 for _ in f), 1_000_002)


class TuxaFileFaults(Fixture):
    def export(self):
        return run("exportar", self.tuxa, "--htemp", self.htemp)

    def assertTablesReadable(self):
        for table in TABLES:
            list(DBF(os.path.join(self.htemp, table + ".DBF"), encoding="cp1252"))

    def test_odd_files_complete_or_stop_cleanly(self):
        rng = random.Random(7)
        cases = {
            "binary garbage": bytes(rng.randrange(256) for _ in range(200_000)),
            "only CRs": b"\r" * 10_000,
            "empty lines": b"\r\n" * 10_000,
            "UTF-16 without a mark": "1MAT       Matemáticas\r\n".encode("utf-16-le") * 50,
        }
        for what, data in cases.items():
            for name in ("tuxa_asignat.txt", "tuxa_prof.txt", "tuxa_aulas.txt", "tuxa_grupo.txt",
                         "tuxa_asignatgrupo.txt", "tuxa_asignatcurso.txt", "tuxa_sesiones.txt"):
                with self.subTest(what=what, file=name):
                    shutil.rmtree(self.tuxa)
                    shutil.copytree(os.path.join(ROOT, "examples", "escuela"), self.tuxa)
                    before = snapshot(self.htemp)
                    self.write_tuxa(name, data)
                    r = self.export()
                    self.assertCompletedOrStopped(r)
                    if r.returncode == 2:
                        self.assertIn(name, r.stderr)
                        # the step that stopped left its table as it was
                        self.assertTrue(set(before.items()) & set(snapshot(self.htemp).items()))
                    self.assertTablesReadable()

    def test_one_line_of_100_mb(self):
        self.write_tuxa("tuxa_aulas.txt", b"1A1" + b"x" * 100_000_000 + b"\r\n")
        r = subprocess.run(["/usr/bin/time", "-f", "%M", *command("exportar", self.tuxa, "--htemp", self.htemp, "--quiet")],
                           capture_output=True, text=True)
        self.assertEqual(r.returncode, 0, r.stderr)
        peak_kib = int(r.stderr.strip().splitlines()[-1])
        self.assertLess(peak_kib, 1_000_000, "a 100 MB line should not cost more than about 5 bytes per byte")
        rows = list(DBF(os.path.join(self.htemp, "AULAT.DBF"), encoding="cp1252"))
        self.assertEqual(rows[0]["NOMBRE"], "x" * 70 + " " + "x" * 9)


class KilledExports(Fixture):
    """SIGKILL at random moments: every table is the old one or the new one, whole."""

    def test_killed_at_random_moments(self):
        trials = 200 if LONG else 10
        big = os.path.join(self.work, "big")
        subprocess.run([sys.executable, os.path.join(ROOT, "bench", "generate_district.py"), "--schools", "40", big],
                       check=True)
        old = snapshot(self.htemp)
        fresh = os.path.join(self.work, "fresh")
        start = time.monotonic()
        self.assertEqual(run("exportar", big, "--htemp", fresh, "--quiet").returncode, 0)
        duration = time.monotonic() - start
        new = snapshot(fresh)
        rng = random.Random(2024)
        outcomes = {"old": 0, "new": 0}
        for trial in range(trials):
            self.restore_old()
            p = subprocess.Popen(command("exportar", big, "--htemp", self.htemp, "--quiet"))
            time.sleep(rng.uniform(0, duration * 1.1))
            p.send_signal(signal.SIGKILL)
            p.wait()
            for table in TABLES:
                name = table + ".DBF"
                got = digest(os.path.join(self.htemp, name))
                self.assertIn(got, (old[name], new[name]), f"trial {trial}: {name} is neither old nor new")
                outcomes["old" if got == old[name] else "new"] += 1
                list(DBF(os.path.join(self.htemp, name), encoding="cp1252"))
        print(f"\n{trials} kills: tables found old {outcomes['old']} times, new {outcomes['new']} times",
              file=sys.stderr)
        self.assertGreater(outcomes["new"], 0)
        self.assertGreater(outcomes["old"], 0)

    def restore_old(self):
        shutil.rmtree(self.htemp)
        shutil.copytree(self.old_copy, self.htemp)

    def setUp(self):
        super().setUp()
        self.old_copy = os.path.join(self.work, "old-htemp")
        shutil.copytree(self.htemp, self.old_copy)


class WindowsFaults(Fixture):
    """The Windows build: tables held by another Windows program, and folders named with an eñe."""

    def setUp(self):
        if not HOLDER:
            self.skipTest("needs --holder, the Windows program that holds a file")
        super().setUp()

    def hold(self, path):
        name = os.path.join(self.work, os.path.basename(path))
        ready, release = name + ".ready", name + ".release"
        holder = subprocess.Popen([*PREFIX, HOLDER, path, ready, release])
        for _ in range(1000):
            if os.path.exists(ready) or holder.poll() is not None:
                break
            time.sleep(0.01)
        self.assertTrue(os.path.exists(ready), "the holder did not open " + path)
        return holder, release

    def let_go(self, holder, release):
        open(release, "w").close()
        self.assertEqual(holder.wait(timeout=60), 0)

    def test_held_by_a_windows_program(self):
        kept = digest(self.timetable)
        holder, release = self.hold(os.path.join(self.htemp, "SOLUC.DBF"))
        try:
            r = run("importar", self.tuxa, "--htemp", self.htemp)
        finally:
            self.let_go(holder, release)
        self.assertStopped(r, "La tabla SOLUC está en uso por otro programa")
        self.assertEqual(digest(self.timetable), kept)

        before = snapshot(self.htemp)
        holder, release = self.hold(os.path.join(self.htemp, "GRUPOST.DBF"))
        try:
            r = run("exportar", self.tuxa, "--htemp", self.htemp)
        finally:
            self.let_go(holder, release)
        self.assertStopped(r, "La tabla GRUPOST está en uso por otro programa")
        self.assertEqual(snapshot(self.htemp), before)
        self.assertEqual(run("exportar", self.tuxa, "--htemp", self.htemp, "--quiet").returncode, 0)

    def test_folder_named_with_an_enye(self):
        school = os.path.join(self.work, "Colegio Peña", "escuela")
        htemp = os.path.join(self.work, "Datos de Año")
        ini = os.path.join(self.work, "Colegio Peña", "Horalina.ini")
        shutil.copytree(os.path.join(ROOT, "examples", "escuela"), school)
        r = run("exportar", school, "--htemp", htemp, "--quiet", "--ini", ini)
        self.assertEqual(r.returncode, 0, r.stderr)
        for table in TABLES:
            with open(os.path.join(htemp, table + ".DBF"), "rb") as a, \
                    open(os.path.join(self.htemp, table + ".DBF"), "rb") as b:
                self.assertEqual(a.read()[4:], b.read()[4:], table)
        shutil.copy(os.path.join(ROOT, "examples", "horalina", "SOLUC.DBF"), htemp)
        r = run("importar", school, "--htemp", htemp, "--quiet", "--ini", ini)
        self.assertEqual(r.returncode, 0, r.stderr)
        with open(os.path.join(school, "TUXA_HORARIO.TXT"), "rb") as a, open(self.timetable, "rb") as b:
            self.assertEqual(a.read().splitlines()[1:-1], b.read().splitlines()[1:-1])
        with open(ini, "rb") as f:
            self.assertEqual(f.read(), b"[Transformadores]\r\nTransformado=1\r\n")
        r = run("importar", os.path.join(self.work, "Colegio Peña", "ninguna"), "--htemp", htemp)
        self.assertEqual((r.returncode, r.stdout), (2, "No existe la carpeta\n"))
        os.remove(os.path.join(htemp, "SOLUC.DBF"))
        r = run("importar", school, "--htemp", htemp)
        self.assertStopped(r, "Datos de Año")


if __name__ == "__main__":
    args = [a for a in sys.argv[1:]]
    CLI = os.path.abspath(args.pop(0))
    if "--long" in args:
        LONG = True
        args.remove("--long")
    if "--prefix" in args:
        at = args.index("--prefix")
        PREFIX = shlex.split(args[at + 1])
        del args[at:at + 2]
    if "--holder" in args:
        at = args.index("--holder")
        HOLDER = os.path.abspath(args[at + 1])
        del args[at:at + 2]
    unittest.main(argv=[sys.argv[0], "-v", *args])
