#!/usr/bin/python3
"""Prints a workbook's active sheet as JSON, read by openpyxl (a reader that
shares nothing with the program's writer):

  {"max_row": N, "max_column": N,
   "rows": [[value or null, ...], ...],          cell text as a spreadsheet shows it
   "formats": [[number format, ...], ...],       per cell
   "column_formats": {"A": "@", ...},             per column style
   "types": [[openpyxl data type, ...], ...]}

Exit status 1 with the reason on stderr when the file does not open."""
import json
import re
import sys

import openpyxl
from openpyxl.utils import get_column_letter

ESCAPE = re.compile(r"_x([0-9A-Fa-f]{4})_")


def shown(value):
    # Spreadsheets read "_xHHHH_" in stored text as the character HHHH.
    if isinstance(value, str):
        return ESCAPE.sub(lambda m: chr(int(m.group(1), 16)), value)
    return value


def main():
    try:
        book = openpyxl.load_workbook(sys.argv[1])
    except Exception as error:  # any reason the file is not a workbook
        print(f"read_xlsx: {error}", file=sys.stderr)
        return 1
    sheet = book.active
    rows, formats, types = [], [], []
    for row in sheet.iter_rows():
        rows.append([shown(cell.value) for cell in row])
        formats.append([cell.number_format for cell in row])
        types.append([cell.data_type for cell in row])
    columns = {}
    for index in range(1, sheet.max_column + 1):
        letter = get_column_letter(index)
        dimension = sheet.column_dimensions.get(letter)
        if dimension is not None:
            columns[letter] = dimension.number_format
    json.dump({"max_row": sheet.max_row, "max_column": sheet.max_column, "rows": rows,
               "formats": formats, "column_formats": columns, "types": types},
              sys.stdout, ensure_ascii=False, default=str)
    return 0


if __name__ == "__main__":
    sys.exit(main())
