#!/usr/bin/env python3
"""Synthetic TUXA folders for benchmarks: a district of N schools in one folder.

Every input file is there, codes repeat as in a real school (subject codes that
share their first 10 columns, repeated teacher codes, course lines for most
assignments), and a matching Horalina SOLUC.DBF (dBase III, written byte by
byte) places every assignment in a time slot.

Names are Spanish as schools write them: "Aula de Música", "Castellano y
Literatura 2º", "Peña", "Güemes". By default about a third of the names keep
their accented letters, "ñ", "º", "ª" and "ü", and the rest are typed without
them ("Aula de Musica"); with --accents all every name has some. Codes stay
plain ASCII. The output depends on the arguments only: the same arguments give
the same bytes.

    generate_district.py --schools 100 OUT
    generate_district.py --rooms-only 2000000 OUT    # just tuxa_aulas.txt
    generate_district.py --accents all --rooms-only 2000000 OUT
"""
import argparse
import os
import random
import struct
import unicodedata

DAYS = "LMXJV"
SEED = 14

# Subject codes as TUXA gives them, with the name a school writes for each.
SUBJECTS = [("MATEMATICAS", "Matemáticas"), ("MATEMATICAS APLICADAS", "Matemáticas Aplicadas"),
            ("LENGUA CASTELLANA", "Español: Lengua y Literatura"), ("LENGUA EXTRANJERA", "Lengua Extranjera: Inglés"),
            ("HISTORIA", "Geografía e Historia"), ("GEOGRAFIA", "Geografía de España"),
            ("BIOLOGIA", "Biología y Geología"), ("FISICA Y QUIMICA", "Física y Química"),
            ("TECNOLOGIA", "Tecnología"), ("MUSICA", "Música"), ("EDUCACION FISICA", "Educación Física"),
            ("RELIGION", "Religión"), ("PLASTICA", "Educación Plástica y Visual"), ("FILOSOFIA", "Filosofía"),
            ("ECONOMIA", "Economía"), ("LATIN", "Latín")]
LEVEL_NAMES = {"ESO": "ESO", "BAC": "Bachillerato"}
FIRST_NAMES = ["José", "María", "Lucía", "Íñigo", "Óscar", "Ramón", "Inés", "Begoña", "Jesús", "Martín",
               "Sofía", "Adrián", "Álvaro", "Mónica", "Raúl", "Verónica", "Nuño", "Ángela"]
SURNAMES = ["Núñez", "Pérez", "Gómez", "Martínez", "Peña", "Güemes", "Muñoz", "Ibáñez", "Ordóñez", "Sánchez",
            "Fernández", "Díaz", "Cañete", "Argüelles", "López", "Rodríguez", "García", "Jiménez", "Álvarez",
            "Gutiérrez", "Castaño", "Zúñiga", "Méndez", "Belén"]
ROOMS = ["Aula de Música", "Laboratorio de Química", "Laboratorio de Física", "Aula de Informática",
         "Taller de Tecnología", "Aula de Plástica", "Salón de Actos", "Gimnasio Peña", "Biblioteca Güemes",
         "Aula de Dibujo Técnico", "Despacho de Orientación", "Aula de Idiomas: Inglés y Francés",
         "Laboratorio de Biología", "Aula de Latín y Griego", "Aula de Educación Especial", "Sala de Tutoría"]
BUILDINGS = ["Pabellón Güemes", "Edificio Peña", "Aulario Núñez de Balboa", "Edificio Ramón y Cajal",
             "Pabellón Deportivo", "Módulo Ñ", "Edificio Anexo, ala de Música", "Pabellón Antonio Machado"]
FLOORS = ["planta baja", "1ª planta", "2ª planta", "3ª planta"]
ACTIVITIES = ["Guardia de Recreo en el Patio Güemes", "Reunión de Departamento", "Tutoría con familias"]

# A name typed without its accents: "º" and "ª" become "o" and "a", "ñ" "n",
# "ü" "u", for every letter of TUXA's code page that has a plain form.
_CP1252_LETTERS = bytes(range(0xA0, 0x100)).decode("cp1252")
_UNACCENTED = str.maketrans({c: plain for c in _CP1252_LETTERS
                             if len(plain := unicodedata.normalize("NFKD", c).encode("ascii", "ignore").decode()) == 1})


class Names:
    """Decides, name by name, whether a name keeps its accents, by a seeded
    random draw so that no regular pattern helps a branch predictor."""

    def __init__(self, accents, salt):
        self.share = 1.0 if accents == "all" else 1 / 3
        self.rng = random.Random(SEED * 1000 + salt)

    def pick(self, pool):
        return pool[int(self.rng.random() * len(pool))]

    def name(self, text):
        """text is written with its accents; it has to hold some, or --accents all would lie."""
        assert not text.isascii(), text
        if self.rng.random() < self.share:
            return text
        plain = text.translate(_UNACCENTED)
        assert plain.isascii(), text
        return plain

    def person(self):
        return self.name(f"{self.pick(FIRST_NAMES)} {self.pick(SURNAMES)} {self.pick(SURNAMES)}")

    def building(self, i):
        return self.name(f"{self.pick(BUILDINGS)}, {FLOORS[i % 4]}")


def b36(n, width):
    digits = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ"
    out = ""
    for _ in range(width):
        out = digits[n % 36] + out
        n //= 36
    return out


def place(fields, first="1"):
    """A fixed-column line: (first column, width, text) in column order, each
    text padded to its width, as TUXA writes them."""
    line = first
    for column, width, text in fields:
        assert len(text) <= width, f"{text!r} is wider than its {width} columns"
        assert len(line) <= column - 1, f"the field at column {column} overlaps the one before"
        line = line.ljust(column - 1) + text.ljust(width)
    return line


def framed(tag, lines):
    frame = tag.ljust(50) + "41000001" + "010920250800"
    yield "0" + frame
    yield from lines
    yield "9" + frame + str(len(lines) if isinstance(lines, list) else 0)


def write(path, lines):
    # cp1252 strictly: a character the code page cannot hold stops the generator.
    with open(path, "w", encoding="cp1252", errors="strict", newline="\r\n", buffering=1 << 20) as f:
        for line in lines:
            f.write(line)
            f.write("\n")


def rooms(count, accents):
    names = Names(accents, 1)
    for i in range(count):
        room = names.name(f"{names.pick(ROOMS)} {i % 40 + 1}")
        yield place([(2, 10, "A" + b36(i, 8)), (12, 70, room), (82, 100, names.building(i))])


def district(schools, accents):
    subjects, teachers, rooms_, groups, assign, course, slots = [], [], [], [], [], [], []
    soluc = []
    names = Names(accents, 2)
    slot_codes = [(d, p) for d in range(5) for p in range(6)]
    for s in range(schools):
        sp = b36(s, 3)
        subject_keys = []
        for k, (code_name, name) in enumerate(SUBJECTS):
            for year, level in (("2º", "ESO"), ("1º", "BAC")):
                code = f"{code_name[:10]}{sp}{level}"[:20]
                ident = f"{sp}{k:02d}{level[0]}"
                text = names.name(f"{name} {year} {LEVEL_NAMES[level]} (centro {sp})")
                subjects.append(place([(2, 20, code), (22, 150, text), (172, 6, ident)]))
                subject_keys.append((code, ident, level))
        for t in range(30):
            department = names.name("Departamento de " + SUBJECTS[t % len(SUBJECTS)][1])
            teachers.append(place([(2, 4, b36(s * 30 + t, 4)), (6, 90, names.person()), (96, 50, department)]))
        for r in range(12):
            room = names.name(f"{names.pick(ROOMS)} {r + 1}")
            rooms_.append(place([(2, 10, f"{sp}R{r:02d}"), (12, 70, room), (82, 100, names.building(r))]))
        school_groups = []
        for g in range(12):
            level = "ESO" if g < 8 else "BAC"
            unit = f"{sp}{g % 4 + 1}{level}{'ABC'[g % 3]}"
            school_groups.append((unit, level, str(g % 4 + 1), "MT"[g % 2]))
            groups.append(place([(2, 10, unit), (15, 3, level), (21, 3, str(g % 4 + 1)),
                                 (24, 10, names.name(f"{g % 4 + 1}º {level}")), (34, 2, "MT"[g % 2])]))
        for a in range(200):
            unit, level, year, shift = school_groups[a % 12]
            candidates = [k for k in subject_keys if k[2] == level]
            code, ident, _ = candidates[a % len(candidates)]
            assign.append(place([(2, 10, unit), (12, 20, code), (32, 6, ident)]))
            if a % 10 != 0:
                hours = ["2", "3", "4,5", "1.5", "4", ""][a % 6]
                course.append(place([(2, 3, level), (5, 3, shift), (8, 3, year), (24, 20, code), (44, 6, hours),
                                     (50, 6, ident)]))
            d, p = slot_codes[a % 30]
            short = code[:10][:10 - len(ident)] + ident  # the short code the export gives this subject
            # The task is the district's one activity, as the export writes it to ASIGNOMT ("*" and its code):
            # an import of a district made this way finds every code it looks up.
            soluc.append((d + 1, str(p + 1), "0", b36(s * 30 + a % 30, 4), unit, "*GUA", short,
                          f"{sp}R{a % 12:02d}"))
        for i, (d, p) in enumerate(slot_codes):
            start = 800 + p * 100
            slots.append(place([(5, 4, f"P{i:03d}"), (9, 1, DAYS[d]), (10, 4, f"{start:04d}"),
                                (14, 4, f"{start + 55:04d}")]))
    activity = place([(2, 4, "GUA"), (6, 60, names.name(names.pick(ACTIVITIES))), (66, 3, "GUA")])
    return dict(subjects=subjects, activities=[activity], teachers=teachers, rooms=rooms_, groups=groups,
                assign=assign, course=course, slots=slots, soluc=soluc)


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
    parser.add_argument("--accents", choices=("third", "all"), default="third",
                        help="names that keep their accented letters: about a third (default) or all")
    args = parser.parse_args()
    os.makedirs(args.out, exist_ok=True)
    if args.rooms_only:
        write(os.path.join(args.out, "tuxa_aulas.txt"), framed("TUXA_AULAS.TXT", rooms(args.rooms_only, args.accents)))
        return
    d = district(args.schools, args.accents)
    write(os.path.join(args.out, "tuxa_asignat.txt"), framed("TUXA_ASIGNAT.TXT", d["subjects"]))
    write(os.path.join(args.out, "TUXA_ACTIVIDADES.TXT"), framed("TUXA_ACTIVIDADES.TXT", d["activities"]))
    write(os.path.join(args.out, "tuxa_prof.txt"), framed("TUXA_PROF.TXT", d["teachers"]))
    write(os.path.join(args.out, "tuxa_aulas.txt"), framed("TUXA_AULAS.TXT", d["rooms"]))
    write(os.path.join(args.out, "tuxa_grupo.txt"), framed("TUXA_GRUPOS.TXT", d["groups"]))
    write(os.path.join(args.out, "tuxa_asignatgrupo.txt"), framed("TUXA_ASIGNATGRUPO.TXT", d["assign"]))
    write(os.path.join(args.out, "tuxa_asignatcurso.txt"), framed("TUXA_ASIGNATCURSO.TXT", d["course"]))
    write(os.path.join(args.out, "tuxa_sesiones.txt"), framed("TUXA_SESIONES.TXT", d["slots"]))
    write_soluc(os.path.join(args.out, "SOLUC.DBF"), d["soluc"])


if __name__ == "__main__":
    main()
