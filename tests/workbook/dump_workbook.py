#!/usr/bin/env python3
"""Prints every cell of a workbook, one line each, as read by openpyxl:
SHEET!CELL, the cell's type, its value (JSON), then, when there are, its
number format (dates), link target, comment and fill colour, TAB-separated.
Lines 'SHEET freeze=... filter=...' describe each sheet. Exits 77 when
openpyxl is missing, so that CTest can skip."""
import datetime
import json
import sys

try:
    import openpyxl
except ImportError:
    print("openpyxl is missing", file=sys.stderr)
    sys.exit(77)

book = openpyxl.load_workbook(sys.argv[1])
for sheet in book.worksheets:
    print(f"{sheet.title} freeze={sheet.freeze_panes} filter={sheet.auto_filter.ref}")
    for row in sheet.iter_rows():
        for cell in row:
            if cell.value is None:
                continue
            value = cell.value
            if isinstance(value, datetime.datetime):
                value = value.isoformat()
            fields = [f"{sheet.title}!{cell.coordinate}", cell.data_type, json.dumps(value, ensure_ascii=False)]
            if cell.data_type == "d":
                fields.append("format=" + cell.number_format)
            if cell.hyperlink is not None:
                fields.append("link=" + cell.hyperlink.target)
            if cell.comment is not None:
                fields.append("comment=" + json.dumps(cell.comment.text, ensure_ascii=False))
            if cell.fill is not None and cell.fill.fill_type:
                fields.append("fill=" + str(cell.fill.fgColor.rgb))
            print("\t".join(fields))
