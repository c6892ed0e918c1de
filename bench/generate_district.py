#!/usr/bin/env python3
"""Synthetic TUXA folders for benchmarks: a district of N schools in one folder.

Every input file is there, codes repeat as in a real school (subject codes that
share their first 10 columns, repeated teacher codes, course lines for most
assignments), names carry accented letters, and a matching Horalina SOLUC.DBF
(dBase III, written byte by byte) places every assignment in a time slot.

    generate_district.py --schools 100 OUT
    generate_district.py --rooms-only 2000000 OUT    # just tuxa_aulas.txt
"""
import argparse
import os
import struct

DAYS = "LMXJV"
TEACHER_NAMES = ["Ana Núñez", "José Pérez", "María Gómez", "Íñigo Ruiz", "Lucía Martín", "Óscar Díaz"]
SUBJECTS = ["MATEMATICAS", "MATEMATICAS APLICADAS", "LENGUA CASTELLANA", "LENGUA EXTRANJERA",
            "HISTORIA", "GEOGRAFIA", "BIOLOGIA", "FISICA Y QUIMICA", "TECNOLOGIA", "MUSICA",
            "EDUCACION FISICA", "RELIGION", "PLASTICA", "FILOSOFIA", "ECONOMIA", "LATIN"]


def b36(n, width):
    digits = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ"
    out = ""
    for _ in range(width):
        out = digits[n % 36] + out
        n //= 36
    return out


def place(fields, first="1"):
    line = first
    for column, text in fields:
        if len(line) < column - 1:
            line += " " * (column - 1 - len(line))
        line = line[:column - 1] + text + line[column - 1 + len(text):]
    return line


def framed(tag, lines):
    frame = tag.ljust(50) + "41000001" + "010920250800"
    yield "0" + frame
    yield from lines
    yield "9" + frame + str(len(lines) if isinstance(lines, list) else 0)


def write(path, lines):
    with open(path, "w", encoding="cp1252", newline="\r\n", buffering=1 << 20) as f:
        for line in lines:
            f.write(line)
            f.write("\n")


def rooms(count):
    for i in range(count):
        yield place([(2, "A" + b36(i, 8)), (12, f"Aula número {i} de la planta {i % 4}".ljust(70)),
                     (82, f"Edificio {b36(i // 50, 3)} ala {'NSEO'[i % 4]}".ljust(100))])


def district(schools):
    subjects, teachers, rooms_, groups, assign, course, slots = [], [], [], [], [], [], []
    soluc = []
    slot_codes = [(d, p) for d in range(5) for p in range(6)]
    for s in range(schools):
        sp = b36(s, 3)
        subject_keys = []
        for k, name in enumerate(SUBJECTS):
            for level in ("ESO", "BAC"):
                code = f"{name[:10]}{sp}{level}"[:20]
                ident = f"{sp}{k:02d}{level[0]}"
                subjects.append(place([(2, code), (22, f"{name.title()} de {level} — centro {sp}"), (172, ident)]))
                subject_keys.append((code, ident, level))
        for t in range(30):
            teachers.append(place([(2, b36(s * 30 + t, 4)), (6, TEACHER_NAMES[t % 6] + f" {sp}"),
                                   (96, "Departamento de " + SUBJECTS[t % len(SUBJECTS)].title())]))
        for r in range(12):
            rooms_.append(place([(2, f"{sp}R{r:02d}"), (12, f"Aula {r}"), (82, "Planta baja")]))
        school_groups = []
        for g in range(12):
            level = "ESO" if g < 8 else "BAC"
            unit = f"{sp}{g % 4 + 1}{level}{'ABC'[g % 3]}"
            school_groups.append((unit, level, str(g % 4 + 1), "MT"[g % 2]))
            groups.append(place([(2, unit), (15, level), (21, str(g % 4 + 1)), (24, f"{g % 4 + 1}º {level}"),
                                 (34, "MT"[g % 2])]))
        for a in range(200):
            unit, level, year, shift = school_groups[a % 12]
            candidates = [k for k in subject_keys if k[2] == level]
            code, ident, _ = candidates[a % len(candidates)]
            assign.append(place([(2, unit), (12, code), (32, ident)]))
            if a % 10 != 0:
                hours = ["2", "3", "4,5", "1.5", "4", ""][a % 6]
                course.append(place([(2, level), (5, shift), (8, year), (24, code), (44, hours), (50, ident)]))
            d, p = slot_codes[a % 30]
            short = code[:10][:10 - len(ident)] + ident  # the short code the export gives this subject
            soluc.append((d + 1, str(p + 1), "0", b36(s * 30 + a % 30, 4), unit, "T99", short,
                          f"{sp}R{a % 12:02d}"))
        for i, (d, p) in enumerate(slot_codes):
            start = 800 + p * 100
            slots.append(place([(5, f"P{i:03d}"), (9, DAYS[d]), (10, f"{start:04d}"), (14, f"{start + 55:04d}")]))
    return dict(subjects=subjects, teachers=teachers, rooms=rooms_, groups=groups, assign=assign,
                course=course, slots=slots, soluc=soluc)


def write_soluc(path, entries):
    fields = [("DIA", "N", 2, 0), ("HORA", "C", 2, 0), ("MARCO", "C", 1, 0), ("PROF", "C", 4, 0),
              ("CODGRUPO", "C", 10, 0), ("TAREA", "C", 10, 0), ("ASIG", "C", 10, 0), ("AULA", "C", 10, 0)]
    record_length = 1 + sum(f[2] for f in fields)
    header_length = 32 + 32 * len(fields) + 1
    with open(path, "wb") as f:
        f.write(struct.pack("<BBBBIHH16xBB2x", 3, 125, 9, 1, len(entries), header_length, record_length, 0, 0x58))
        for name, kind, width, decimals in fields:
            f.write(struct.pack("<11sc4xBB14x", name.encode(), kind.encode(), width, decimals))
        f.write(b"\r")
        for entry in entries:
            values = [str(entry[0]).rjust(2)] + [str(v).ljust(w)[:w] for v, (_, _, w, _) in zip(entry[1:], fields[1:])]
            f.write(b" " + "".join(values).encode("cp1252"))
        f.write(b"\x1a")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("out")
    parser.add_argument("--schools", type=int, default=1)
    parser.add_argument("--rooms-only", type=int, default=0)
    args = parser.parse_args()
    os.makedirs(args.out, exist_ok=True)
    if args.rooms_only:
        write(os.path.join(args.out, "tuxa_aulas.txt"), framed("TUXA_AULAS.TXT", rooms(args.rooms_only)))
        return
    d = district(args.schools)
    write(os.path.join(args.out, "tuxa_asignat.txt"), framed("TUXA_ASIGNAT.TXT", d["subjects"]))
    write(os.path.join(args.out, "TUXA_ACTIVIDADES.TXT"),
          framed("TUXA_ACTIVIDADES.TXT", [place([(2, "GUA"), (6, "Guardia"), (66, "GUA")])]))
    write(os.path.join(args.out, "tuxa_prof.txt"), framed("TUXA_PROF.TXT", d["teachers"]))
    write(os.path.join(args.out, "tuxa_aulas.txt"), framed("TUXA_AULAS.TXT", d["rooms"]))
    write(os.path.join(args.out, "tuxa_grupo.txt"), framed("TUXA_GRUPOS.TXT", d["groups"]))
    write(os.path.join(args.out, "tuxa_asignatgrupo.txt"), framed("TUXA_ASIGNATGRUPO.TXT", d["assign"]))
    write(os.path.join(args.out, "tuxa_asignatcurso.txt"), framed("TUXA_ASIGNATCURSO.TXT", d["course"]))
    write(os.path.join(args.out, "tuxa_sesiones.txt"), framed("TUXA_SESIONES.TXT", d["slots"]))
    write_soluc(os.path.join(args.out, "SOLUC.DBF"), d["soluc"])


if __name__ == "__main__":
    main()
