"""Prints a dBase table as python3-dbfread reads it, one line per record: FIELD=value|FIELD=value...

Run with Debian's /usr/bin/python3, which has dbfread. Values print as Python's repr, so that text,
numbers, booleans and None stay distinguishable; text is decoded as the table's code page says.
"""
import sys

from dbfread import DBF

table = DBF(sys.argv[1], load=True)
print("version=0x%02X language=0x%02X encoding=%s" % (table.header.dbversion, table.header.language_driver,
                                                     table.encoding))
for record in table.records:
    print("|".join("%s=%r" % (name, value) for name, value in record.items()))
