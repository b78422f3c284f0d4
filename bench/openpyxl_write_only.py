#!/usr/bin/python3
"""The reference for the export benchmark: openpyxl in write-only mode writes
the same rows (read first, not timed) as text cells of a text-formatted
workbook. Usage: openpyxl_write_only.py DATABASE ROWS OUT.xlsx; prints the
seconds the writing took."""
import sqlite3
import sys
import time

from openpyxl import Workbook
from openpyxl.cell import WriteOnlyCell


def main():
    database, rows, out = sys.argv[1], int(sys.argv[2]), sys.argv[3]
    cursor = sqlite3.connect(database).execute("SELECT * FROM t WHERE id <= ?", (rows,))
    names = [d[0] for d in cursor.description]
    records = cursor.fetchall()

    start = time.perf_counter()
    book = Workbook(write_only=True)
    sheet = book.create_sheet()

    def cell(value):
        c = WriteOnlyCell(sheet, value="" if value is None else str(value))
        c.number_format = "@"
        return c

    sheet.append([cell(n) for n in names])
    for record in records:
        sheet.append([cell(v) for v in record])
    book.save(out)
    print(f"{time.perf_counter() - start:.3f}")


if __name__ == "__main__":
    main()
