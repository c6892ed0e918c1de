#!/usr/bin/env python3
"""Runs stopped by a fault lose nothing and say what happened.

Each case goes end to end through the command line: the run completes, or it
stops with exit code 2 and a Spanish message naming the file and the cause,
and the previous tables and TUXA_HORARIO.TXT are left as they were.

    test_faults.py CLI [--long] [--root] [--prefix CMD] [--holder EXE] [TEST...]
                                                  (with /usr/bin/python3, for dbfread)

--long runs 300 kill trials with SIGKILL and 300 with SIGTERM (100 with
SIGKILL under a --prefix) instead of a few; --root runs the tests that need
root instead of the others. --prefix runs the command line through another
program, e.g. "wine" for the Windows build; the cases that only a POSIX
program can meet are then skipped. --holder names the Windows program that
holds a file open as Horalina does.
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
import stat
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


REPORT = "INFORME_TRANSHORALOTUXA.TXT"
KEPT = "transHoraloTuxa copias"  # where a run keeps what it replaced


def snapshot(folder, with_report=False):
    """Every file's digest; the run report, which every run rewrites, only when asked."""
    return {name: digest(os.path.join(folder, name)) for name in sorted(os.listdir(folder))
            if os.path.isfile(os.path.join(folder, name)) and (with_report or name != REPORT)}


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
        # A file the run did not find is told on standard output: both are shown.
        r = run("exportar", self.tuxa, "--htemp", self.htemp, "--quiet")
        self.assertEqual(r.returncode, 0, r.stdout + r.stderr)
        shutil.copy(os.path.join(ROOT, "examples", "horalina", "SOLUC.DBF"), self.htemp)
        r = run("importar", self.tuxa, "--htemp", self.htemp, "--quiet")
        self.assertEqual(r.returncode, 0, r.stdout + r.stderr)
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

    def unprivileged(self):
        """The prefix that runs the command line as a user for whom a read-only file or folder is
        read-only: root gives the fixture to nobody and runs as nobody; anyone else runs as is."""
        if os.geteuid() != 0:
            return []
        subprocess.run(["chown", "-R", "65534:65534", self.work], check=True)
        return ["setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"]

    def write_tuxa(self, name, data):
        with open(os.path.join(self.tuxa, name), "wb") as f:
            f.write(data)


class HoralinaFolderFaults(Fixture):
    @posix_only("runs the program as another POSIX user; Wine refuses a prefix that user does not own")
    def test_read_only_folder(self):
        before = snapshot(self.htemp)
        nobody = self.unprivileged()
        os.chmod(self.htemp, 0o555)
        for name in os.listdir(self.tuxa):
            os.chmod(os.path.join(self.tuxa, name), 0o644)
        r = subprocess.run(nobody + command("exportar", self.tuxa, "--htemp", self.htemp),
                           capture_output=True, text=True)
        self.assertStopped(r, "ASIGNOMT", "permiso denegado")
        self.assertEqual(snapshot(self.htemp), before)

    @posix_only("runs the program as another POSIX user; Wine refuses a prefix that user does not own")
    def test_unreadable_tuxa_folder(self):
        """A TUXA folder we may not list is one error naming it, not six missing files."""
        before = snapshot(self.htemp)
        nobody = self.unprivileged()
        os.chmod(self.tuxa, 0o311)
        r = subprocess.run(nobody + command("exportar", self.tuxa, "--htemp", self.htemp),
                           capture_output=True, text=True)
        self.assertStopped(r, self.tuxa, "permiso denegado")
        self.assertNotIn("No existe archivo", r.stdout + r.stderr)
        self.assertEqual(snapshot(self.htemp), before)

    @posix_only("runs the program as another POSIX user; Wine refuses a prefix that user does not own")
    def test_read_only_tables(self):
        """Tables their owner made read-only are read, never replaced."""
        before, timetable = snapshot(self.htemp), digest(self.timetable)
        nobody = self.unprivileged()
        for name in os.listdir(self.htemp):
            os.chmod(os.path.join(self.htemp, name), 0o444)
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


class FaultsNeedingRoot(Fixture):
    """Faults that only root can stage. They run apart (--root), so that
    ./test shows their skip when it runs as another user."""

    def setUp(self):
        if os.geteuid() != 0:
            self.skipTest("needs root: mounts a small tmpfs to fill it")
        super().setUp()

    def test_disk_full_on_a_small_file_system(self):
        mount = os.path.join(self.work, "small")
        os.mkdir(mount)
        if subprocess.run(["mount", "-t", "tmpfs", "-o", "size=36k", "tmpfs", mount]).returncode != 0:
            self.skipTest("mount refused a tmpfs here although we are root (a container without CAP_SYS_ADMIN?)")
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
            # records read one byte off where they are: every field shifted into garbage
            "header one byte long": self.bytes[:8] + (header_length + 1).to_bytes(2, "little") + self.bytes[10:],
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


def is_ours(name):
    """A temporary file of ours, or one of the names we used before."""
    return name.startswith(".tht-") or name.endswith(".tmp")


def default_signals():
    for sig in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP):
        signal.signal(sig, signal.SIG_DFL)


class FileKindFaults(Fixture):
    """Only regular files are read or replaced; outputs are updated as Windows would."""

    def fifo(self, path):
        if os.path.lexists(path):
            os.remove(path)
        os.mkfifo(path)

    @posix_only("FIFOs and /dev/zero are POSIX files; a Windows device is refused by its file type (platform tests)")
    def test_not_regular_files_are_refused_at_once(self):
        ini = os.path.join(self.work, "estado.ini")
        cases = [  # command, the path made odd, how
            ("exportar", os.path.join(self.tuxa, "tuxa_aulas.txt"), "fifo"),
            ("exportar", os.path.join(self.tuxa, "tuxa_sesiones.txt"), "fifo"),
            ("exportar", os.path.join(self.tuxa, "tuxa_asignat.txt"), "fifo"),
            ("exportar", ini, "fifo"),
            ("exportar", os.path.join(self.tuxa, "tuxa_aulas.txt"), "/dev/zero"),
            ("exportar", os.path.join(self.tuxa, "tuxa_sesiones.txt"), "/dev/zero"),
            ("importar", os.path.join(self.htemp, "SOLUC.DBF"), "fifo"),
            ("importar", self.timetable, "fifo"),
        ]
        for command_name, path, how in cases:
            with self.subTest(command=command_name, path=os.path.basename(path), how=how):
                saved = path + ".saved"
                if os.path.exists(path):
                    os.rename(path, saved)
                if how == "fifo":
                    self.fifo(path)
                else:
                    os.symlink(how, path)
                try:
                    r = subprocess.run(command(command_name, self.tuxa, "--htemp", self.htemp, "--ini", ini),
                                       capture_output=True, text=True, timeout=60)
                    self.assertStopped(r, path, "no es un archivo normal")
                    self.assertEqual(os.path.islink(path), how != "fifo")
                    self.assertEqual(stat.S_ISFIFO(os.lstat(path).st_mode), how == "fifo")
                finally:
                    os.remove(path)
                    if os.path.exists(saved):
                        os.rename(saved, path)

    @posix_only("an address-space limit is a POSIX resource; Wine itself would not start under it")
    def test_running_out_of_memory_names_the_file(self):
        limit = 1 << 30
        cases = [  # command, a file larger than memory allows
            ("exportar", os.path.join(self.tuxa, "tuxa_sesiones.txt")),  # read whole
            ("exportar", os.path.join(self.tuxa, "tuxa_aulas.txt")),     # read line by line: one endless line
            ("importar", os.path.join(self.htemp, "SOLUC.DBF")),         # a table
        ]
        for command, path in cases:
            with self.subTest(command=command, path=os.path.basename(path)):
                saved = path + ".saved"
                os.rename(path, saved)
                with open(path, "wb") as f:
                    f.truncate(4 * limit)  # sparse: no disk used
                try:
                    r = run(command, self.tuxa, "--htemp", self.htemp, "--quiet",
                            preexec_fn=lambda: resource.setrlimit(resource.RLIMIT_AS, (limit, limit)))
                    self.assertStopped(r, path, "no hay memoria suficiente")
                    self.assertNotIn("bad_alloc", r.stderr)
                finally:
                    os.remove(path)
                    os.rename(saved, path)

    @posix_only("symbolic links, modes and another user are POSIX here; Windows keeps attributes (platform tests)")
    def test_outputs_are_updated_in_place_as_windows_would(self):
        ini = os.path.join(self.work, "Horalina.ini")
        outputs = {  # the output, how a run writes it, the start of what it writes
            "ini": (ini, ["exportar", self.tuxa, "--htemp", self.htemp, "--ini", ini], b"[Transformadores]"),
            "timetable": (self.timetable, ["importar", self.tuxa, "--htemp", self.htemp], b"0TUXA_HORARIO.TXT"),
        }
        old = b"[Transformadores]\r\nTransformado=7\r\n"
        for what, (path, args, new) in outputs.items():
            for case in ("link", "mode", "read-only"):
                with self.subTest(output=what, case=case):
                    real = os.path.join(self.work, "elsewhere", os.path.basename(path)) if case == "link" else path
                    os.makedirs(os.path.dirname(real), exist_ok=True)
                    if os.path.lexists(path):
                        os.remove(path)
                    with open(real, "wb") as f:
                        f.write(old)
                    if case == "link":
                        os.symlink(real, path)
                    user = self.unprivileged()
                    mode = 0o444 if case == "read-only" else 0o640
                    os.chmod(real, mode)
                    r = subprocess.run(user + command(*args, "--quiet"), capture_output=True, text=True, timeout=120)
                    with open(real, "rb") as f:
                        content = f.read()
                    if case == "read-only":
                        self.assertStopped(r, path, "permiso denegado")
                        self.assertEqual(content, old)
                    else:
                        self.assertEqual(r.returncode, 0, r.stderr)
                        self.assertTrue(content.startswith(new), content[:40])
                    self.assertEqual(os.path.islink(path), case == "link")
                    self.assertEqual(stat.S_IMODE(os.stat(real).st_mode), mode)
                    self.assertEqual([n for n in os.listdir(os.path.dirname(real)) if is_ours(n)], [])
                    os.chmod(real, 0o644)

    @posix_only("Windows has no signals; Wine ends a process without its console handler")
    def test_signals_remove_temporary_files(self):
        big = os.path.join(self.work, "big")
        subprocess.run([sys.executable, os.path.join(ROOT, "bench", "generate_district.py"), "--schools", "40", big],
                       check=True, capture_output=True)
        for sig in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
            with self.subTest(signal=sig.name):
                htemp = os.path.join(self.work, "htemp-" + sig.name)
                os.makedirs(htemp)
                p = subprocess.Popen(command("exportar", big, "--htemp", htemp, "--quiet"), preexec_fn=default_signals,
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
                seen = []
                while p.poll() is None and not seen:  # until a table is being written under its temporary name
                    seen = [n for n in os.listdir(htemp) if is_ours(n)]
                p.send_signal(sig)
                p.wait(timeout=60)
                self.assertTrue(seen, "the run ended before a temporary file was seen")
                self.assertEqual(p.returncode, -sig)
                self.assertEqual([n for n in os.listdir(htemp) if is_ours(n)], [])

    @posix_only("PATH_MAX is a POSIX limit; Windows paths are shorter")
    def test_paths_near_path_max(self):
        """A folder with room for the file names and no more: what works for them works for their temporaries."""
        name = "TUXA_HORARIO.TXT"
        path_max = os.pathconf("/", "PC_PATH_MAX")
        wanted = path_max - 1 - 1 - len(name)  # the folder's length
        folder = self.work
        while len(folder) < wanted:
            left = wanted - len(folder)
            k = min(200, left - 1)
            if left - 1 - k == 1:
                k -= 1
            folder += "/" + "c" * k
        os.makedirs(folder)
        shutil.copy(os.path.join(self.tuxa, "tuxa_asignat.txt"), folder)
        ini = os.path.join(folder, "Horalina.ini")
        self.assertEqual(len(os.path.join(folder, name)), path_max - 1)
        for _ in range(2):  # created, then replaced
            r = run("importar", folder, "--htemp", self.htemp, "--ini", ini, "--quiet")
            self.assertEqual(r.returncode, 0, r.stderr)
        with open(os.path.join(folder, name), "rb") as f:
            self.assertTrue(f.read().startswith(b"0TUXA_HORARIO.TXT"))
        with open(ini, "rb") as f:
            self.assertEqual(f.read(), b"[Transformadores]\r\nTransformado=1\r\n")


class StatusFirst(Fixture):
    """A settings file that cannot take the status refuses the run before any table is touched."""

    def test_unwritable_ini_leaves_the_tables(self):
        other = os.path.join(self.work, "otra")
        shutil.copytree(os.path.join(ROOT, "examples", "escuela"), other)
        rooms = os.path.join(other, "tuxa_aulas.txt")
        with open(rooms, "rb") as f:
            data = f.read()
        with open(rooms, "wb") as f:
            f.write(data.replace(b"Aula 1.01", b"Aula 9.99"))  # a school whose tables differ from the ones there
        ini = os.path.join(self.work, "Horalina.ini")

        def fifo():
            os.mkfifo(ini)

        def read_only():
            with open(ini, "wb") as f:
                f.write(b"[Transformadores]\r\nTransformado=1\r\n")
            os.chmod(ini, 0o444)

        cases = {"a folder": (lambda: os.mkdir(ini), "es una carpeta"), "a read-only file": (read_only, "Horalina.ini")}
        if not PREFIX:
            cases["a FIFO"] = (fifo, "no es un archivo normal")
        for name, (make, words) in cases.items():
            with self.subTest(name):
                before = snapshot(self.htemp)
                make()
                try:
                    r = run("exportar", other, "--htemp", self.htemp, "--ini", ini)
                    self.assertStopped(r, words)
                    self.assertNotIn("Proceso finalizado", r.stdout)
                    self.assertEqual(snapshot(self.htemp), before)
                finally:
                    subprocess.run(["chmod", "-R", "u+w", ini])
                    shutil.rmtree(ini) if os.path.isdir(ini) else os.remove(ini)
        for device in (["CON", "NUL", "COM1", "nul.ini", "C:\\HTEMP\\aux"] if PREFIX else []):
            with self.subTest(device):  # Windows reads these as devices in any folder
                before = snapshot(self.htemp)
                r = run("exportar", other, "--htemp", self.htemp, "--ini", device)
                self.assertStopped(r, device, "no es un archivo normal")
                self.assertEqual(snapshot(self.htemp), before)


def read_bytes(path):
    with open(path, "rb") as f:
        return f.read()


def write_bytes(path, data):
    with open(path, "wb") as f:
        f.write(data)


def field_at(table_bytes, name):
    """Offset in the record and width of a field of a dBase III/IV table."""
    offset, pos = 1, 32
    while table_bytes[pos] != 0x0D:
        field = table_bytes[pos:pos + 11].split(b"\0")[0].decode("ascii")
        width = table_bytes[pos + 16]
        if field == name:
            return offset, width
        offset += width
        pos += 32
    raise KeyError(name)


def masked(timetable):
    """A timetable without the date and time of its title and trailer lines."""
    lines = timetable.split(b"\r\n")
    for i in (0, -2):
        lines[i] = lines[i][:59] + b"#" * 12 + lines[i][71:]
    return b"\r\n".join(lines)


class WholeRuns(Fixture):
    """A run is one unit: it replaces every table or none, alone on Horalina's folder."""

    def tables(self, folder):
        return {t: digest(os.path.join(folder, t + ".DBF")) for t in TABLES}

    def other_school(self):
        other = os.path.join(self.work, "otra")
        subprocess.run([sys.executable, os.path.join(ROOT, "bench", "generate_district.py"), "--schools", "15", other],
                       check=True, capture_output=True)
        return other

    def assertRefusedOrDone(self, code, err, out=""):
        self.assertIn(code, (0, 2), out + err)
        if code == 2:
            self.assertIn("está en uso por otra ejecución", err)

    def test_concurrent_runs_never_mix_schools(self):
        other = self.other_school()
        sets = {"escuela": self.tables(self.htemp)}
        fresh = os.path.join(self.work, "fresh")
        self.assertEqual(run("exportar", other, "--htemp", fresh, "--quiet").returncode, 0)
        sets["otra"] = self.tables(fresh)
        # What an import of the example's solution gives against each whole set of tables.
        shutil.copy(os.path.join(ROOT, "examples", "horalina", "SOLUC.DBF"), fresh)
        timetables = [masked(read_bytes(self.timetable))]
        self.assertEqual(run("importar", self.tuxa, "--htemp", fresh, "--quiet").returncode, 0)
        timetables.append(masked(read_bytes(self.timetable)))
        self.assertNotEqual(timetables[0], timetables[1])
        rng = random.Random(11)
        pairs = [("exportar", "exportar")] * (200 if LONG else 15) + [("exportar", "importar")] * (50 if LONG else 10)
        refused = 0
        for trial, (first, second) in enumerate(pairs):
            first_folder, second_folder = (other, self.tuxa) if trial % 2 else (self.tuxa, other)
            if second == "importar":
                second_folder = self.tuxa
            a = subprocess.Popen(command(first, first_folder, "--htemp", self.htemp, "--quiet"),
                                 stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
            time.sleep(rng.uniform(0, 0.06))
            b = subprocess.run(command(second, second_folder, "--htemp", self.htemp, "--quiet"),
                               capture_output=True, text=True, timeout=120)
            a_out, a_err = a.communicate(timeout=120)
            self.assertRefusedOrDone(a.returncode, a_err, a_out)
            self.assertRefusedOrDone(b.returncode, b.stderr, b.stdout)
            refused += (a.returncode == 2) + (b.returncode == 2 and "en uso" in b.stderr)
            got = self.tables(self.htemp)
            self.assertIn(got, list(sets.values()), f"trial {trial}: tables of two schools")
            if second == "importar" and b.returncode == 0:  # resolved against one whole set of tables
                self.assertIn(masked(read_bytes(self.timetable)), timetables, f"trial {trial}")
            self.assertEqual([n for n in os.listdir(self.htemp) if n.startswith(".tht-")], [])
        print(f"\n{len(pairs)} concurrent pairs: {refused} runs refused", file=sys.stderr)

    def test_a_stopped_export_replaces_nothing(self):
        ini = os.path.join(self.work, "Horalina.ini")

        def bad_time():
            path = os.path.join(self.tuxa, "tuxa_sesiones.txt")
            lines = read_bytes(path).split(b"\r\n")
            lines[3] = lines[3][:9] + b"8:x0" + lines[3][13:]
            write_bytes(path, b"\r\n".join(lines))
            return None

        def asigt_held():  # as Horalina holds a table it has open
            f = open(os.path.join(self.htemp, "ASIGT.DBF"), "r+b")
            fcntl.lockf(f, fcntl.LOCK_EX)
            return f

        cases = [("bad time in the sessions file", bad_time, "no es una hora válida"),
                 ("ASIGT held by another program", asigt_held, "La tabla ASIGT está en uso por otro programa")]
        for what, breaking, words in cases:
            with self.subTest(what):
                if PREFIX and breaking is asigt_held:
                    self.skipTest("a POSIX lock: Windows programs see share modes (WindowsFaults)")
                before = snapshot(self.htemp)
                held = breaking()
                try:
                    r = run("exportar", self.tuxa, "--htemp", self.htemp, "--ini", ini, "--quiet")
                finally:
                    if held:
                        held.close()
                self.assertStopped(r, words)
                self.assertEqual(snapshot(self.htemp), before)
                self.assertEqual(read_bytes(ini), b"[Transformadores]\r\nTransformado=0\r\n")
                shutil.copytree(os.path.join(ROOT, "examples", "escuela"), self.tuxa, dirs_exist_ok=True)

    @posix_only("Windows always has C:\\HTEMP as the default folder")
    def test_no_default_folder_without_its_variables(self):
        env = {k: v for k, v in os.environ.items() if k not in ("HOME", "WINEPREFIX", "HORALINA_HTEMP")}
        before = sorted(os.listdir(self.work))
        r = subprocess.run(command("exportar", self.tuxa), capture_output=True, text=True, env=env, cwd=self.work)
        self.assertStopped(r, "HORALINA_HTEMP", "WINEPREFIX", "HOME")
        self.assertEqual(sorted(os.listdir(self.work)), before, "no folder made under the current one")

    def test_odd_input_is_reported_and_the_run_goes_on(self):
        def without_trailer():
            path = os.path.join(self.tuxa, "tuxa_aulas.txt")
            lines = read_bytes(path).split(b"\r\n")
            write_bytes(path, b"\r\n".join(lines[:6]) + b"\r\n")

        def nul_in_sessions():
            path = os.path.join(self.tuxa, "tuxa_sesiones.txt")
            lines = read_bytes(path).split(b"\r\n")
            lines[9] = b"\0" + lines[9][1:]
            write_bytes(path, b"\r\n".join(lines))

        def undefined_byte_in_rooms():
            path = os.path.join(self.tuxa, "tuxa_aulas.txt")
            lines = read_bytes(path).split(b"\r\n")
            lines[2] = lines[2][:12] + b"\xae" + lines[2][13:]  # a byte ISO-8859-7 leaves undefined
            write_bytes(path, b"\r\n".join(lines))

        def wide_teacher():
            path = os.path.join(self.htemp, "SOLUC.DBF")
            data = bytearray(read_bytes(path))
            offset, width = field_at(data, "PROF")
            start = int.from_bytes(data[8:10], "little") + offset
            data[start:start + width] = b"PROFESOR1".ljust(width)
            write_bytes(path, bytes(data))

        cases = [  # what, how, command, environment, words of the warning
            ("rooms file cut short", without_trailer, "exportar", {}, ["tuxa_aulas.txt", "puede estar incompleto"]),
            ("NUL at line 10 of the sessions", nul_in_sessions, "exportar", {},
             ["carácter nulo en la línea 10", "no se han leído 22 líneas"]),
            ("cp1252 files read as UTF-8", lambda: None, "exportar", {"TUXA_CODEPAGE": "UTF-8"},
             ["no se pueden leer con la página de códigos UTF-8"]),
            ("a byte a single-byte page leaves undefined", undefined_byte_in_rooms, "exportar",
             {"TUXA_CODEPAGE": "ISO-8859-7"},
             ["tuxa_aulas.txt tiene 1 carácter en la línea 3 que no se puede leer con la página de códigos "
              "ISO-8859-7; se ha escrito como"]),
            ("a teacher code wider than its column", wide_teacher, "importar", {},
             ["1 valor de PROF más ancho que su columna (4 caracteres) desplaza", '"PROFESOR1", en el registro 1']),
        ]
        for what, making, command, env, words in cases:
            with self.subTest(what):
                making()
                r = run(command, self.tuxa, "--htemp", self.htemp, env={**os.environ, **env})
                self.assertEqual(r.returncode, 0, r.stderr)
                for word in words:
                    self.assertIn(word, r.stderr)
                self.assertIn("aviso: ", r.stderr)
                shutil.copytree(os.path.join(ROOT, "examples", "escuela"), self.tuxa, dirs_exist_ok=True)


JOURNAL = ".transhoralotuxa.journal"


def ini_status(path):
    with open(path, "rb") as f:
        return f.read().split(b"Transformado=")[1].split(b"\r\n")[0].decode()


class KilledExports(Fixture):
    """Exports killed at any moment, many of them while the tables take their names: right
    after the kill the set is all old or all new, or Horalina is told 0; once the next run
    of ours holds the folder, the set is all old or all new."""

    def trials(self, how, count, rng):
        outcomes = {"old": 0, "new": 0, "mixed": 0, "mid-commit": 0}
        for trial in range(count):
            self.restore_old()
            with open(self.ini, "wb") as f:
                f.write(b"[Transformadores]\r\nTransformado=1\r\n")  # an earlier run's outcome
            p = subprocess.Popen(command("exportar", self.big, "--htemp", self.htemp, "--quiet", "--ini", self.ini),
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            # Half over the whole run, half around its end, where the commit is.
            end = self.duration
            time.sleep(rng.uniform(0, end * 1.2) if trial % 2 else max(0.0, rng.gauss(end, end * 0.05)))
            p.send_signal(how)
            p.wait()
            if os.path.exists(os.path.join(self.htemp, JOURNAL)):
                outcomes["mid-commit"] += 1
            found = self.which_set()
            if found == "mixed":
                outcomes["mixed"] += 1
                self.assertEqual(ini_status(self.ini), "0", f"trial {trial}: a mixed set beside a status other than 0")
            # Any run of ours that takes the lock puts the set right; an import holds it shared.
            run("importar", self.tuxa, "--htemp", self.htemp, "--quiet")
            self.assertFalse(os.path.exists(os.path.join(self.htemp, JOURNAL)), f"trial {trial}")
            after = self.which_set()
            self.assertNotEqual(after, "mixed", f"trial {trial}: still mixed after the next run")
            outcomes[after] += 1
            for table in TABLES:
                list(DBF(os.path.join(self.htemp, table + ".DBF"), encoding="cp1252"))
        print(f"\n{count} kills with {signal.Signals(how).name}: {outcomes['mid-commit']} landed mid-commit; "
              f"right after them {outcomes['mixed']} sets were mixed (status 0 each); after the next run "
              f"{outcomes['old']} old, {outcomes['new']} new, 0 mixed", file=sys.stderr)
        return outcomes

    def which_set(self):
        got = {t: digest(os.path.join(self.htemp, t + ".DBF")) if os.path.exists(os.path.join(self.htemp, t + ".DBF"))
               else None for t in TABLES}
        if all(got[t] == self.old[t + ".DBF"] for t in TABLES):
            return "old"
        if all(got[t] == self.new[t + ".DBF"] for t in TABLES):
            return "new"
        return "mixed"

    def test_killed_at_random_moments(self):
        count = (100 if PREFIX else 300) if LONG else 6
        rng = random.Random(2024)
        kinds = [signal.SIGKILL] if PREFIX else [signal.SIGKILL, signal.SIGTERM]
        for how in kinds:
            with self.subTest(signal=how):
                outcomes = self.trials(how, count, rng)
                if LONG:  # enough trials to meet both; a busy machine may stretch a few runs past every kill
                    self.assertGreater(outcomes["new"], 0)
                    self.assertGreater(outcomes["old"], 0)

    def test_killed_restores(self):
        """restaurar killed at any moment: once the next run of ours holds the folder, the set is
        all the one it was replacing or all the one it brings back, and every kept set is whole."""
        self.restore_old()
        self.assertEqual(run("exportar", self.big, "--htemp", self.htemp, "--quiet").returncode, 0)
        exported = os.path.join(self.work, "exported-htemp")
        shutil.copytree(self.htemp, exported)
        start = time.monotonic()
        r = run("restaurar", self.tuxa, "--htemp", self.htemp, "--quiet")
        duration = time.monotonic() - start
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertEqual(self.which_set(), "old")
        count = (100 if PREFIX else 300) if LONG else 6
        rng = random.Random(2025)
        outcomes = {"old": 0, "new": 0}
        for trial in range(count):
            shutil.rmtree(self.htemp)
            shutil.copytree(exported, self.htemp)
            p = subprocess.Popen(command("restaurar", self.tuxa, "--htemp", self.htemp, "--quiet"),
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            time.sleep(rng.uniform(0, duration * 1.2))
            p.send_signal(signal.SIGKILL)
            p.wait()
            run("importar", self.tuxa, "--htemp", self.htemp, "--quiet")
            self.assertFalse(os.path.exists(os.path.join(self.htemp, JOURNAL)), f"trial {trial}")
            after = self.which_set()
            self.assertNotEqual(after, "mixed", f"trial {trial}: still mixed after the next run")
            outcomes[after] += 1
            kept = os.path.join(self.htemp, KEPT)
            for name in os.listdir(kept):
                if not name.startswith("."):
                    self.assertEqual(sorted(n for n in os.listdir(os.path.join(kept, name)) if n.endswith(".DBF")),
                                     sorted(t + ".DBF" for t in TABLES), f"trial {trial}: set {name}")
        print(f"\n{count} restores killed: after the next run {outcomes['old']} restored, "
              f"{outcomes['new']} as before, 0 mixed", file=sys.stderr)

    def restore_old(self):
        shutil.rmtree(self.htemp)
        shutil.copytree(self.old_copy, self.htemp)

    def setUp(self):
        super().setUp()
        self.old_copy = os.path.join(self.work, "old-htemp")
        shutil.copytree(self.htemp, self.old_copy)
        self.ini = os.path.join(self.work, "Horalina.ini")
        self.big = os.path.join(self.work, "big")
        subprocess.run([sys.executable, os.path.join(ROOT, "bench", "generate_district.py"), "--schools", "40",
                        self.big], check=True)
        self.old = snapshot(self.htemp)
        fresh = os.path.join(self.work, "fresh")
        self.assertEqual(run("exportar", self.big, "--htemp", fresh, "--quiet").returncode, 0)
        self.new = snapshot(fresh)
        # The run the trials stop, timed as they make it: over the old set, with the settings file.
        durations = []
        for _ in range(3):
            self.restore_old()
            start = time.monotonic()
            r = run("exportar", self.big, "--htemp", self.htemp, "--quiet", "--ini", self.ini)
            durations.append(time.monotonic() - start)
            self.assertEqual(r.returncode, 0, r.stderr)
        self.duration = sorted(durations)[1]


ROOT_ONLY = False


def load_tests(loader, tests, pattern):
    """The whole module: the tests that need root with --root, the others without."""
    def each(suite):
        for t in suite:
            yield from each(t) if isinstance(t, unittest.TestSuite) else (t,)
    return unittest.TestSuite(t for t in each(tests) if isinstance(t, FaultsNeedingRoot) == ROOT_ONLY)
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

    def test_temporary_held_by_a_windows_program(self):
        """A new table held by a scanner as it is written: a short hold is waited out; a long one
        has every table that took its name put back, and Horalina is told 0."""
        ini = os.path.join(self.work, "Horalina.ini")
        old = snapshot(self.htemp)
        for hold, returncode, status in [("short", 0, "1"), ("long", 2, "0")]:
            with self.subTest(hold=hold):
                ready, release = (os.path.join(self.work, f"{hold}.{end}") for end in ("ready", "release"))
                holder = subprocess.Popen([*PREFIX, HOLDER, "--temporary", self.htemp, "UNIDAD", ready, release])
                p = subprocess.Popen(command("exportar", self.tuxa, "--htemp", self.htemp, "--ini", ini),
                                     stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
                while not os.path.exists(ready) and p.poll() is None:
                    time.sleep(0.01)
                self.assertTrue(os.path.exists(ready), "the holder did not catch the new GRUPOST")
                if hold == "short":
                    time.sleep(1)
                    self.let_go(holder, release)
                out, err = p.communicate(timeout=120)
                if hold == "long":
                    self.let_go(holder, release)
                self.assertEqual(p.returncode, returncode, out + err)
                self.assertEqual(ini_status(ini), status)
                if hold == "long":
                    self.assertIn("GRUPOST", err)
                    self.assertIn("en uso por otro programa", err)
                self.assertEqual({n: d for n, d in snapshot(self.htemp).items() if n.endswith(".DBF")},
                                 {n: d for n, d in old.items() if n.endswith(".DBF")})
                self.assertFalse(os.path.exists(os.path.join(self.htemp, JOURNAL)))
        # What the long hold left, the held file, goes with the next run.
        self.assertEqual(run("exportar", self.tuxa, "--htemp", self.htemp, "--quiet").returncode, 0)
        self.assertEqual([n for n in os.listdir(self.htemp) if n.endswith(".tmp")], [])

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
    if "--root" in args:
        ROOT_ONLY = True
        args.remove("--root")
    if "--prefix" in args:
        at = args.index("--prefix")
        PREFIX = shlex.split(args[at + 1])
        del args[at:at + 2]
    if "--holder" in args:
        at = args.index("--holder")
        HOLDER = os.path.abspath(args[at + 1])
        del args[at:at + 2]
    unittest.main(argv=[sys.argv[0], "-v", *args])
