#!/usr/bin/python3
"""Writes a Horalina timetable solution (SOLUC.DBF) for the example school.

    /usr/bin/python3 examples/make_soluc.py CARPETA_TABLAS SALIDA.DBF [--tipo db3|vfp]

CARPETA_TABLAS holds the tables that `transhoralotuxa-cli exportar` wrote
(ASIGNOMT, GRUPOST, AULAT, DIASHORAST, PROFT, ASIGT). They are read with
dbfread and the solution is written with python-dbf, never with our own
dBase code: `importar` then has to read a table that another program wrote,
as it does with the real Horalina.

The timetable is built without randomness: every ASIGT assignment is put,
in table order, into the first time slot where its group, a teacher of the
right department and a suitable room are all free; the search for each
group starts at a different slot so that a group's lessons spread over the
week. Every lesson carries the task of its ASIGT record, which ASIGNOMT
holds as an activity, so the solution resolves cleanly. A handful of
entries are then planted to exercise the fallbacks of `importar`; the
script prints them with their record numbers.
"""
import argparse
import os
import sys
import unicodedata

import dbf
import dbfread

# python-dbf stamps the file with today's date; a fixed date keeps two runs
# on the same tables byte for byte equal.
FECHA_CABECERA = (2024 - 1900, 9, 2)

CAMPOS = ("IDSOL N(5,0); DIA N(2,0); HORA N(2,0); MARCO C(1); PROF C(10); "
          "CODGRUPO C(12); TAREA C(10); ASIG C(10); AULA C(10)")

# Which department teaches a subject, by the first words of its TUXA code.
# None: the group's tutor, whoever that is.
DEPARTAMENTOS = [
    ("REFUERZO MATEMATICAS", "matematicas"), ("REFUERZO LENGUA", "lengua"),
    ("MATEMATICAS", "matematicas"), ("LENGUA", "lengua"), ("INGLES", "ingles"),
    ("FRANCES", "frances"), ("GEOGRAFIA", "geografia"), ("HISTORIA", "geografia"),
    ("CAMBIOS SOCIALES", "geografia"), ("CIUDADANIA", "geografia"),
    ("BIOLOGIA", "biologia"), ("CULTURA CIENTIFICA", "biologia"),
    ("FISICA", "fisica"), ("EDUCACION FISICA", "educacion fisica"),
    ("EDUCACION PLASTICA", "dibujo"), ("DIBUJO", "dibujo"), ("MUSICA", "musica"),
    ("TECNOLOGIA", "tecnologia"), ("TIC", "tecnologia"), ("RE", "religion"),
    ("VALORES ETICOS", "filosofia"), ("FILOSOFIA", "filosofia"), ("LATIN", "latin"),
    ("ECONOMIA", "formacion y orientacion"), ("IAEE", "formacion y orientacion"),
    ("ESPAÑOL", "orientacion"), ("COMUNICACION", "formacion profesional"),
    ("CIENCIAS APLICADAS", "formacion profesional"), ("TUTORIA", None),
]
# Subjects taught outside the group's own classroom.
AULAS_ESPECIALES = [
    ("EDUCACION FISICA", "GIMNASIO"), ("MUSICA", "AULA-MUS"),
    ("FISICA QUIMICA", "LAB-FQ"), ("BIOLOGIA", "LAB-BG"),
    ("TECNOLOGIA", "TALLER-TEC"), ("TIC", "TALLER-TEC"), ("DIBUJO", "TALLER-TEC"),
    ("ESPAÑOL", "BIBLIOTECA"), ("REFUERZO", "BIBLIOTECA"),
]
GRUPO_LARGO = "DESDOBLE3ESO"   # 12 characters, in no GRUPOST
AULA_DESCONOCIDA = "PATIO"
ASIG_DESCONOCIDA = "PROYECTO"
TAREA_DESCONOCIDA = "T99"


def sin_acentos(s):
    return "".join(c for c in unicodedata.normalize("NFD", s.lower())
                   if unicodedata.category(c) != "Mn")


def por_prefijo(tabla, codigo):
    """The value of the longest entry whose words begin `codigo`."""
    mejor = None
    for prefijo, valor in tabla:
        if codigo == prefijo or codigo.startswith(prefijo + " "):
            if mejor is None or len(prefijo) > len(mejor[0]):
                mejor = (prefijo, valor)
    return mejor


def lee(carpeta, nombre):
    candidatos = [f for f in os.listdir(carpeta) if f.upper() == nombre + ".DBF"]
    if not candidatos:
        sys.exit(f"make_soluc: falta {nombre}.DBF en {carpeta}")
    ruta = os.path.join(carpeta, candidatos[0])
    tabla = dbfread.DBF(ruta, char_decode_errors="strict")
    if tabla.encoding == "ascii":
        # no code page in the header: the tables of this product are cp1252
        tabla = dbfread.DBF(ruta, encoding="cp1252")
    return [{k: (v.strip() if isinstance(v, str) else v) for k, v in r.items()} for r in tabla]


class Horario:
    def __init__(self, t):
        self.tramos = [r for r in t["DIASHORAST"] if r["DIA"].isdigit() and r["HORA"].isdigit()]
        if not self.tramos:
            sys.exit("make_soluc: DIASHORAST no tiene tramos con día y hora numéricos")
        self.nombres = {r["COD"]: r for r in t["ASIGNOMT"]}
        self.profes = [r["ABREV"] for r in t["PROFT"]]
        self.depart = {r["ABREV"]: sin_acentos(r["DEPART"] or "") for r in t["PROFT"]}
        aulas = [r["ABREV"] for r in t["AULAT"]]
        especiales = {a for _, a in AULAS_ESPECIALES}
        self.aulas = set(aulas)
        self.ordinarias = [a for a in aulas if a not in especiales] or aulas
        self.grupos = [r["ABREV"] for r in t["GRUPOST"]]
        self.ocupado = set()  # (kind, code, slot index)
        self.carga = {p: 0 for p in self.profes}
        self.rotacion = 0

    def libre(self, tipo, codigo, i):
        return not codigo or (tipo, codigo, i) not in self.ocupado

    def ocupa(self, i, grupo, prof, aula):
        for tipo, codigo in (("g", grupo), ("p", prof), ("a", aula)):
            if codigo:
                self.ocupado.add((tipo, codigo, i))
        if prof:
            self.carga[prof] += 1

    def profes_de(self, codtuxa):
        hallado = por_prefijo(DEPARTAMENTOS, codtuxa)
        dep = hallado[1] if hallado else None
        lista = [p for p in self.profes if dep and self.depart[p].startswith(dep)]
        if not lista:
            # tutors and subjects of no known department: everybody, in turn
            self.rotacion += 1
            n = len(self.profes)
            lista = [self.profes[(self.rotacion + k) % n] for k in range(n)]
        return sorted(lista, key=lambda p: self.carga[p])  # stable: ties keep table order

    def aulas_para(self, codtuxa, grupo):
        hallado = por_prefijo(AULAS_ESPECIALES, codtuxa)
        if hallado and hallado[1] in self.aulas:
            return [hallado[1]]
        casa = self.grupos.index(grupo) % len(self.ordinarias) if grupo in self.grupos else 0
        return self.ordinarias[casa:] + self.ordinarias[:casa]

    def coloca(self, grupo, codtuxa, inicio):
        """First (slot, teacher, room) free for this lesson, or None."""
        n = len(self.tramos)
        for prof in self.profes_de(codtuxa):
            for k in range(n):
                i = (inicio + k) % n
                if not (self.libre("g", grupo, i) and self.libre("p", prof, i)):
                    continue
                for aula in self.aulas_para(codtuxa, grupo):
                    if self.libre("a", aula, i):
                        self.ocupa(i, grupo, prof, aula)
                        return i, prof, aula
        return None

    def entrada(self, i, prof, grupo, tarea, asig, aula):
        tr = self.tramos[i]
        return {"dia": int(tr["DIA"]), "hora": int(tr["HORA"]), "marco": (tr["MARCO"] or "0")[:1],
                "prof": prof, "codgrupo": grupo, "tarea": tarea, "asig": asig, "aula": aula}


def construye(t):
    h = Horario(t)
    lecciones = []
    sin_colocar = []
    por_grupo = {}
    for a in t["ASIGT"]:
        grupo, cod = a["CGRUP"], a["CASIG"]
        codtuxa = a["CASIGTUXA"] or (h.nombres.get(cod) or {}).get("CODTUXA") or ""
        k = por_grupo.get(grupo, 0)
        por_grupo[grupo] = k + 1
        # 7 and the usual 30 slots share no factor: a group's lessons walk
        # through every day before any day gets a second one
        g = h.grupos.index(grupo) if grupo in h.grupos else len(h.grupos)
        sitio = h.coloca(grupo, codtuxa, (k * 7 + g) % len(h.tramos))
        tarea = a["CTAREA"] or "*LEC"
        if sitio is None:
            sin_colocar.append({"dia": 0, "hora": 0, "marco": "0", "prof": "", "codgrupo": grupo,
                                "tarea": tarea, "asig": cod, "aula": ""})
            continue
        i, prof, aula = sitio
        lecciones.append((g, i, h.entrada(i, prof, grupo, tarea, cod, aula)))
    lecciones.sort(key=lambda x: (x[0], x[1]))  # by group, then through the week
    entradas = [e for _, _, e in lecciones]

    plantadas = planta(h, entradas, t)
    return entradas, sin_colocar, plantadas


def planta(h, entradas, t):
    """Entries that make `importar` fall back; (position, entry, note, deleted)."""
    notas = []
    # an unknown room: the first lesson in the gym moves to the playground
    for e in entradas:
        if e["aula"] == "GIMNASIO":
            e["aula"] = AULA_DESCONOCIDA
            notas.append(("marca", e, f"sembrado: AULA {AULA_DESCONOCIDA}: no está en AULAT, se escribe tal cual"))
            break
    # an unknown task code
    for e in entradas:
        if e["tarea"] == "*LEC":
            e["tarea"] = TAREA_DESCONOCIDA
            notas.append(("marca", e, f"sembrado: TAREA {TAREA_DESCONOCIDA}: no está en ASIGNOMT, tarea LEC"))
            break

    extra = []

    def libre_para(grupo, prof, aula):
        for i in range(len(h.tramos)):
            if h.libre("g", grupo, i) and h.libre("p", prof, i) and h.libre("a", aula, i):
                return i
        return None

    cod_refuerzo = next((r["COD"] for r in t["ASIGNOMT"] if r["CODTUXA"] == "REFUERZO LENGUA"),
                        next(r["COD"] for r in t["ASIGNOMT"] if not r["ESTAREA"]))
    prof = h.profes_de("LENGUA")[0]
    aula = h.ordinarias[-1]
    i = libre_para(GRUPO_LARGO, prof, aula)
    if i is not None:
        h.ocupa(i, GRUPO_LARGO, prof, aula)
        extra.append((h.entrada(i, prof, GRUPO_LARGO, "*LEC", cod_refuerzo, aula),
                      f"sembrado: CODGRUPO {GRUPO_LARGO} (12): no está en GRUPOST, se corta a 10", False))
    prof = h.profes_de("GEOGRAFIA")[0]
    i = libre_para("4ESOB", prof, aula)
    if i is not None:
        h.ocupa(i, "4ESOB", prof, aula)
        extra.append((h.entrada(i, prof, "4ESOB", "*LEC", ASIG_DESCONOCIDA, aula),
                      f"sembrado: ASIG {ASIG_DESCONOCIDA}: no está en ASIGNOMT", False))
    base = entradas[len(entradas) // 3]
    extra.append((dict(base, dia=0, hora=0, aula=""), "sembrado: DIA 0: sesión sin colocar, se salta", False))
    extra.append((dict(base, dia=None, hora=None, aula=""), "sembrado: DIA en blanco: se lee 0, se salta", False))
    borrada = dict(entradas[len(entradas) // 2])
    borrada["prof"] = "BORR"
    extra.append((borrada, "sembrado: registro borrado (marca *): no debe salir", True))
    return notas, extra


def escribe(salida, entradas, sin_colocar, plantadas, tipo):
    notas, extra = plantadas
    filas = [(e, None, False) for e in entradas]
    # spread the planted entries through the table rather than at its end
    for n, (e, nota, borrada) in enumerate(extra):
        filas.insert(min(len(filas), (n + 1) * len(filas) // (len(extra) + 1)), (e, nota, borrada))
    filas += [(e, "sin colocar por falta de hueco: DIA 0", False) for e in sin_colocar]
    marcadas = {id(e): nota for _, e, nota in notas}

    for f in (salida, os.path.splitext(salida)[0] + ".FPT", os.path.splitext(salida)[0] + ".CDX"):
        if os.path.exists(f):
            os.remove(f)
    tabla = dbf.Table(salida, CAMPOS, dbf_type=tipo, codepage="cp1252")
    tabla.open(dbf.READ_WRITE)
    informe = []
    for n, (e, nota, borrada) in enumerate(filas, start=1):
        tabla.append(dict(e, idsol=n))
        if borrada:
            dbf.delete(tabla[-1])
        nota = nota or marcadas.get(id(e))
        if nota:
            informe.append((n, e, nota))
    tabla.close()
    with open(salida, "r+b") as f:
        f.seek(1)
        f.write(bytes(FECHA_CABECERA))
    return len(filas), informe


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("carpeta", help="carpeta con las tablas que escribió exportar")
    ap.add_argument("salida", help="fichero SOLUC.DBF que se escribe")
    ap.add_argument("--tipo", choices=("db3", "vfp"), default="db3",
                    help="nivel dBase del fichero (db3: dBase III; vfp: Visual FoxPro)")
    args = ap.parse_args()

    t = {n: lee(args.carpeta, n) for n in
         ("ASIGNOMT", "GRUPOST", "AULAT", "DIASHORAST", "PROFT", "ASIGT")}
    entradas, sin_colocar, plantadas = construye(t)
    os.makedirs(os.path.dirname(os.path.abspath(args.salida)), exist_ok=True)
    total, informe = escribe(args.salida, entradas, sin_colocar, plantadas, args.tipo)
    print(f"{args.salida}: {total} registros ({len(entradas)} clases, {len(sin_colocar)} sin colocar)")
    for n, e, nota in informe:
        print(f"  registro {n}: {e['codgrupo'] or '-'} {e['asig'] or '-'} {e['prof']}: {nota}")
    cod_re = {r["COD"] for r in t["ASIGNOMT"] if r["CODTUXA"] == "RE"}
    re = sum(1 for e in entradas if e["asig"] in cod_re)
    print(f"  clases de RE {sorted(cod_re)} (sufijo de tres espacios e identificador): {re}")


if __name__ == "__main__":
    main()
