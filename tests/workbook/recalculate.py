#!/usr/bin/env python3
"""Changes cells of a workbook as a user would, has LibreOffice open it,
recalculate every formula and draw its conditional formats, and prints the
cells it shows, one line each: SHEET!CELL, the text shown, then "fill=#RRGGBB"
when the cell has a fill, TAB-separated.

    recalculate.py WORKBOOK WORK_FOLDER [SHEET!CELL=VALUE ...]

VALUE is a number, or nothing to empty the cell. LibreOffice runs headless
with a user profile of its own in WORK_FOLDER (so that runs in parallel do
not share one), told to recalculate every Excel file it loads, and exports
the workbook as HTML, which holds what it shows. Exits 77 when openpyxl or
LibreOffice is missing, so that a test can skip."""
import html.parser
import os
import re
import shutil
import subprocess
import sys

try:
    import openpyxl
    from openpyxl.utils import get_column_letter
except ImportError:
    print("openpyxl is missing", file=sys.stderr)
    sys.exit(77)

soffice = shutil.which("soffice") or shutil.which("libreoffice")
if soffice is None:
    print("LibreOffice (soffice) is missing", file=sys.stderr)
    sys.exit(77)

workbook, work = sys.argv[1], os.path.abspath(sys.argv[2])
os.makedirs(os.path.join(work, "profile", "user"), exist_ok=True)
# Recalculate on load, always: 0 of OOXMLRecalcMode ("never" and "ask" are
# the others).
with open(os.path.join(work, "profile", "user", "registrymodifications.xcu"), "w") as f:
    f.write('<?xml version="1.0" encoding="UTF-8"?>\n'
            '<oor:items xmlns:oor="http://openoffice.org/2001/registry" '
            'xmlns:xs="http://www.w3.org/2001/XMLSchema" '
            'xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">\n'
            '<item oor:path="/org.openoffice.Office.Calc/Formula/Load">'
            '<prop oor:name="OOXMLRecalcMode" oor:op="fuse"><value>0</value></prop></item>\n'
            '</oor:items>\n')

book = openpyxl.load_workbook(workbook)
for change in sys.argv[3:]:
    cell, value = change.split("=", 1)
    sheet, coordinate = cell.split("!", 1)
    book[sheet][coordinate] = float(value) if value else None
changed = os.path.join(work, "changed.xlsx")
book.save(changed)
subprocess.run([soffice, "-env:UserInstallation=file://" + work + "/profile", "--headless",
                "--convert-to", "html", "--outdir", work, changed],
               check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=300)


class Cells(html.parser.HTMLParser):
    def __init__(self):
        super().__init__()
        self.sheets, self.sheet, self.heading = [], None, None
        self.row, self.column, self.cell = 0, 0, None

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        if tag == "h1":
            self.heading = ""
        elif tag == "table":
            self.sheet, self.row = self.sheets.pop(0) if self.sheets else "?", 0
        elif tag == "tr":
            self.row, self.column = self.row + 1, 0
        elif tag == "td":
            self.column += 1
            self.cell = {"text": "", "fill": attrs.get("bgcolor")}
            self.span = int(attrs.get("colspan", "1"))

    def handle_endtag(self, tag):
        if tag == "h1" and self.heading is not None:
            match = re.match(r"Sheet \d+: (.*)", self.heading)
            if match:
                self.sheets.append(match.group(1))
            self.heading = None
        elif tag == "td" and self.cell is not None:
            text = self.cell["text"].strip()
            if text:
                fields = [f"{self.sheet}!{get_column_letter(self.column)}{self.row}", text]
                if self.cell["fill"]:
                    fields.append("fill=" + self.cell["fill"].upper())
                print("\t".join(fields))
            self.column += self.span - 1
            self.cell = None

    def handle_data(self, data):
        if self.heading is not None:
            self.heading += data
        elif self.cell is not None:
            self.cell["text"] += data


parser = Cells()
with open(os.path.join(work, "changed.html"), encoding="utf-8", errors="replace") as f:
    parser.feed(f.read())
