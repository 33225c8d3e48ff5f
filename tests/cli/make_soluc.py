"""Writes a small dBase III solution table SOLUC.DBF: python3 make_soluc.py OUT.DBF ROW... where each row is
PROF,DIA,HORA,ASIG,CODGRUPO,TAREA,AULA (text, Windows-1252)."""
import struct
import sys

FIELDS = [("PROF", "C", 4), ("DIA", "N", 2), ("HORA", "N", 3), ("ASIG", "C", 4), ("CODGRUPO", "C", 4),
          ("TAREA", "C", 12), ("AULA", "C", 4)]


def main():
    out, rows = sys.argv[1], [r.split(",") for r in sys.argv[2:]]
    record_length = 1 + sum(f[2] for f in FIELDS)
    header_length = 32 + 32 * len(FIELDS) + 1
    data = bytearray(struct.pack("<BBBBIHH20x", 0x03, 126, 12, 11, len(rows), header_length, record_length))
    data[29] = 0x57
    for name, kind, width in FIELDS:
        data += struct.pack("<11sc4xBB14x", name.encode(), kind.encode(), width, 0)
    data += b"\r"
    for row in rows:
        data += b" "
        for (name, kind, width), value in zip(FIELDS, row):
            raw = value.encode("cp1252")[:width]
            data += raw.rjust(width) if kind == "N" else raw.ljust(width)
    data += b"\x1a"
    open(out, "wb").write(data)


main()
