#!/usr/bin/env python3
"""Prints every cell of a workbook, one line each, as read by openpyxl:
SHEET!CELL, the cell's type, its value (JSON), then, when there are, its
number format (dates), link target, comment and fill colour, TAB-separated.
A cell with a =HYPERLINK(target, name) formula shows as the value the
formula holds (its cached result) with the target as its link; any other
formula shows as itself, its cached result after "result=". Lines
'SHEET freeze=... filter=...' describe each sheet, each followed by one line
per conditional format: 'SHEET rule RANGE FORMULA fill=COLOUR'. Exits 77 when openpyxl is
missing, so that CTest can skip."""
import datetime
import json
import re
import sys

try:
    import openpyxl
except ImportError:
    print("openpyxl is missing", file=sys.stderr)
    sys.exit(77)

STRING = re.compile(r'"((?:[^"]|"")*)"')


def hyperlink_target(formula):
    """The target of =HYPERLINK("..."&"...", ...), its strings joined; None
    for any other formula."""
    if not formula.startswith("=HYPERLINK("):
        return None
    rest = formula[len("=HYPERLINK("):]
    target = ""
    while True:
        match = STRING.match(rest)
        if match is None:
            return None
        target += match.group(1).replace('""', '"')
        rest = rest[match.end():]
        if not rest.startswith("&"):
            return target if rest.startswith(",") else None
        rest = rest[1:]


book = openpyxl.load_workbook(sys.argv[1])
values = openpyxl.load_workbook(sys.argv[1], data_only=True)
for sheet in book.worksheets:
    print(f"{sheet.title} freeze={sheet.freeze_panes} filter={sheet.auto_filter.ref}")
    for ranges in sheet.conditional_formatting:
        for rule in ranges.rules:
            fill = rule.dxf.fill.bgColor.rgb if rule.dxf is not None and rule.dxf.fill is not None else None
            print(f"{sheet.title} rule {ranges.sqref} {';'.join(rule.formula or [])} fill={fill}")
    for row in sheet.iter_rows():
        for cell in row:
            if cell.value is None:
                continue
            value, data_type, link = cell.value, cell.data_type, None
            if cell.hyperlink is not None:
                link = cell.hyperlink.target
            result = None
            if data_type == "f":
                link = hyperlink_target(value)
                cached = values[sheet.title][cell.coordinate]
                if link is not None:
                    value, data_type = cached.value, cached.data_type
                else:
                    result = cached.value
            if isinstance(value, datetime.datetime):
                value = value.isoformat()
            fields = [f"{sheet.title}!{cell.coordinate}", data_type, json.dumps(value, ensure_ascii=False)]
            if data_type == "d":
                fields.append("format=" + cell.number_format)
            if data_type == "f":
                fields.append("result=" + json.dumps(result, ensure_ascii=False))
            if link is not None:
                fields.append("link=" + link)
            if cell.comment is not None:
                fields.append("comment=" + json.dumps(cell.comment.text, ensure_ascii=False))
            if cell.fill is not None and cell.fill.fill_type:
                fields.append("fill=" + str(cell.fill.fgColor.rgb))
            print("\t".join(fields))
