"""Prints a dBase table as Debian's python3-dbfread reads it (run with /usr/bin/python3):

    version 0x03
    language 0x57
    encoding cp1252
    field NAME TYPE LENGTH DECIMALS      one a field
    rec VALUE<TAB>VALUE...                one a record, in stored order

Values: NULL for None, T/F for booleans, integers in decimal, floats as repr(), text as UTF-8.
"""
import sys

from dbfread import DBF


def show(value):
    if value is None:
        return "NULL"
    if isinstance(value, bool):
        return "T" if value else "F"
    if isinstance(value, float):
        return repr(value)
    return str(value)


table = DBF(sys.argv[1], load=True)
out = open(sys.stdout.fileno(), "w", encoding="utf-8", closefd=False)
out.write("version 0x%02x\n" % table.header.dbversion)
out.write("language 0x%02x\n" % table.header.language_driver)
out.write("encoding %s\n" % table.encoding)
for field in table.fields:
    out.write("field %s %s %d %d\n" % (field.name, field.type, field.length, field.decimal_count))
for record in table.records:
    out.write("rec " + "\t".join(show(value) for value in record.values()) + "\n")
out.flush()
