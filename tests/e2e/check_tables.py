"""Reads what the program wrote with independent readers (dbfread, ElementTree) for the end-to-end scripts.

  check_tables.py tablas HTEMP CODE NAME SLOT...   the nine tables and the index are there and nothing else;
                                                   PERIODOS holds template CODE named NAME; the slot
                                                   tables hold only the slot keys SLOT...
  check_tables.py fila HTEMP EMPLOYEE SUBJECT UNIT DAY HOUR ROOM
                                                   prints a SOLUC row (make_soluc.py) for the teacher with
                                                   X_EMPLEADO EMPLOYEE, the subject named SUBJECT and the
                                                   group with key UNIT, each by the code the tables gave it
  check_tables.py resultado FILE EMPLOYEE FIELD=VALUE...
                                                   the teacher's only activity record in the result file
                                                   carries these values
Exits 1 with the reason on stderr when a check fails."""
import os
import sys
import xml.etree.ElementTree as ET

from dbfread import DBF

TABLES = ["ASIGNOMT", "ASIGT", "AULAT", "CURSOST", "DIASHORAST", "DIASHORAST2", "GRUPOST", "PERIODOS", "PROFT"]


def rows(folder, table):
    return list(DBF(os.path.join(folder, table + ".DBF"), encoding="cp1252", char_decode_errors="strict"))


def fail(reason):
    print(reason, file=sys.stderr)
    sys.exit(1)


def tablas(folder, code, name, *slots):
    expected = sorted([t + ".DBF" for t in TABLES] + ["DIASHORAST2.MDX"])
    found = sorted(os.listdir(folder))
    if found != expected:
        fail("la carpeta de trabajo tiene %s" % found)
    for table in TABLES:
        rows(folder, table)  # every table opens and reads to its end
    periodos = [(r["CJORNADA"], r["JORNADA"]) for r in rows(folder, "PERIODOS")]
    if periodos != [(code, name)]:
        fail("PERIODOS tiene %s y no la plantilla %s %s" % (periodos, code, name))
    for table in ("DIASHORAST", "DIASHORAST2"):
        keys = sorted({r["CODDIHO"] for r in rows(folder, table)})
        if keys != sorted(slots):
            fail("%s tiene los tramos %s y no %s" % (table, keys, sorted(slots)))


def only(found, what):
    if len(found) != 1:
        fail("%d filas para %s" % (len(found), what))
    return found[0]


def fila(folder, employee, subject, unit, day, hour, room):
    teacher = only([r["ABREV"] for r in rows(folder, "PROFT") if r["X_EMPLEADO"] == employee], employee)
    code = only([r["COD"] for r in rows(folder, "ASIGNOMT") if r["NOMBRE"] == subject], subject)
    group = only([r["ABREV"] for r in rows(folder, "GRUPOST") if r["CLAVE"] == unit], unit)
    print(",".join([teacher, day, hour, code, group, "", room]))


def resultado(path, employee, *expected):
    root = ET.parse(path).getroot()
    if (root.tag, root.get("modulo")) != ("SERVICIO", "HORARIOS"):
        fail("raíz %s %s" % (root.tag, root.attrib))
    groups = [g for g in root.iter("grupo_datos")
              if any(d.get("nombre_dato") == "X_EMPLEADO" and d.text == employee for d in g.findall("dato"))]
    teacher = only(groups, "el profesor " + employee)
    record = only(teacher.findall("grupo_datos"), "las actividades de " + employee)
    values = {d.get("nombre_dato"): d.text or "" for d in record.findall("dato")}
    for pair in expected:
        field, value = pair.split("=", 1)
        if values.get(field) != value:
            fail("%s es %r y no %r en %s" % (field, values.get(field), value, values))


def main():
    command, args = sys.argv[1], sys.argv[2:]
    {"tablas": tablas, "fila": fila, "resultado": resultado}[command](*args)


main()
