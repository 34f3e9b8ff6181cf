"""Write the document of ``Book.to_json()`` as an .xlsx file with openpyxl.

    python examples/to_xlsx.py report.json report.xlsx
    python -c 'import report; print(report.build().to_json())' | python to_xlsx.py - report.xlsx

openpyxl is not a dependency of tabulon: ``pip install tabulon[xlsx]`` or ``pip install openpyxl``.

What is carried over:

- values by type code: ``"n"`` numbers (int or float as the document has them), ``"b"`` bools,
  ``"s"`` text (always as text, even when it starts with "="), ``"d"`` date-times (the document's
  ``"2024-03-01T08:00:00"`` becomes a ``datetime``; a year outside 1..9999 stays text);
  a ``null`` value (empty, or a number that is not finite) leaves the cell empty;
- formulas: a cell with ``"formula"`` gets the formula (with a leading "=" added when missing);
  the cached value is not written, the spreadsheet program recalculates;
- styles: ``style_id`` "bold", "header" and "title" become a bold font, and "title" is also
  larger; other style names are ignored;
- merged ranges (``[start_row, end_row, start_col, end_col]``, either corner order); values in the
  covered cells other than the top-left one are dropped, as a spreadsheet program does;
- row heights and hidden rows, column widths and hidden columns, the default height and width;
- comments (author, text); several comments on one cell are joined into one;
- ``sheet_state`` "hidden" (and "veryHidden"); any other state is visible. If every sheet is
  hidden the first one is shown, because a workbook needs one visible sheet.

Rows and columns numbered 0, or beyond 1048576 rows and 16384 columns, have no place in the file
and are skipped. Sheet names lose the characters a workbook does not allow and are cut to 31
characters; ``hidden_value`` is not written.
"""

from __future__ import annotations

import datetime
import json
import re
import sys
from collections.abc import Mapping, Sequence
from pathlib import Path
from typing import Any

from openpyxl import Workbook
from openpyxl.comments import Comment
from openpyxl.styles import Font
from openpyxl.utils import get_column_letter
from openpyxl.worksheet.worksheet import Worksheet

MAX_ROW = 1048576
MAX_COLUMN = 16384
BOLD_STYLES = {"bold": Font(bold=True), "header": Font(bold=True), "title": Font(bold=True, size=14)}
HIDDEN_STATES = {"hidden", "veryHidden"}
BAD_TITLE_CHARACTERS = re.compile(r"[\\/*?:\[\]]")


def in_sheet(row: int, column: int) -> bool:
    return 1 <= row <= MAX_ROW and 1 <= column <= MAX_COLUMN


def sheet_title(name: str) -> str:
    return BAD_TITLE_CHARACTERS.sub("_", name)[:31] or "Sheet"


def cell_value(cell: Mapping[str, Any]) -> Any:
    """The value to store for one document cell: a formula, a typed value or None."""
    formula = cell.get("formula")
    if formula is not None:
        return formula if formula.startswith("=") else "=" + formula
    value = cell.get("value")
    if cell.get("data_type") == "d" and isinstance(value, str) and "T" in value:
        try:
            return datetime.datetime.fromisoformat(value)
        except ValueError:
            return value
    return value


def write_cells(ws: Worksheet, cells: Sequence[Mapping[str, Any]]) -> None:
    for cell in cells:
        row, column = cell["row"], cell["column"]
        if not in_sheet(row, column):
            continue
        target = ws.cell(row=row, column=column)
        value = cell_value(cell)
        target.value = value
        if isinstance(value, str) and cell.get("formula") is None:
            target.data_type = "s"  # text that starts with "=" is still text
        font = BOLD_STYLES.get(cell.get("style_id") or "")
        if font is not None:
            target.font = font


def write_merges(ws: Worksheet, merges: Sequence[Sequence[int]]) -> None:
    for start_row, end_row, start_col, end_col in merges:
        top, bottom = sorted((start_row, end_row))
        left, right = sorted((start_col, end_col))
        if in_sheet(top, left) and in_sheet(bottom, right) and (top, left) != (bottom, right):
            ws.merge_cells(start_row=top, end_row=bottom, start_column=left, end_column=right)


def write_dimensions(ws: Worksheet, rows: Mapping[str, Any], columns: Mapping[str, Any]) -> None:
    ws.sheet_format.defaultRowHeight = rows["default_height"]
    ws.sheet_format.customHeight = True
    ws.sheet_format.defaultColWidth = columns["default_width"]
    for row in rows.get("rows", {}).values():
        if in_sheet(row["row_num"], 1):
            dimension = ws.row_dimensions[row["row_num"]]
            if row["height"] >= 0:
                dimension.height = row["height"]
            dimension.hidden = row["hidden"]
    for column in columns.get("columns", {}).values():
        if in_sheet(1, column["col_num"]):
            column_dimension = ws.column_dimensions[get_column_letter(column["col_num"])]
            if column["width"] >= 0:
                column_dimension.width = column["width"]
            column_dimension.hidden = column["hidden"]


def write_comments(ws: Worksheet, comments: Sequence[Mapping[str, Any]]) -> None:
    joined: dict[tuple[int, int], list[Mapping[str, Any]]] = {}
    for comment in comments:
        if in_sheet(comment["row"], comment["column"]):
            joined.setdefault((comment["row"], comment["column"]), []).append(comment)
    for (row, column), group in joined.items():
        text = "\n".join(c["text"] for c in group)
        author = ", ".join(dict.fromkeys(c["author"] for c in group))
        ws.cell(row=row, column=column).comment = Comment(text, author)


def convert(document: Mapping[str, Any]) -> Workbook:
    """A workbook holding every sheet of a tabulon document."""
    wb = Workbook()
    if document["sheets"]:
        wb.remove(wb.active)  # type: ignore[arg-type]  # a new workbook always has its one sheet
    for sheet in document["sheets"]:
        ws = wb.create_sheet(sheet_title(sheet["name"]))
        write_cells(ws, sheet["cells"])
        write_merges(ws, sheet["merge_cells"])
        write_dimensions(ws, sheet["row_dimensions"], sheet["column_dimensions"])
        write_comments(ws, sheet["comments"])
        if sheet["sheet_state"] in HIDDEN_STATES:
            ws.sheet_state = sheet["sheet_state"]
    visible = [i for i, ws in enumerate(wb.worksheets) if ws.sheet_state == "visible"]
    if not visible:
        wb.worksheets[0].sheet_state = "visible"
        visible = [0]
    wb.active = visible[0]
    return wb


def main(argv: Sequence[str]) -> int:
    if len(argv) != 2:
        print("usage: to_xlsx.py DOCUMENT.json|- OUTPUT.xlsx", file=sys.stderr)
        return 2
    source, output = argv
    text = sys.stdin.read() if source == "-" else Path(source).read_text(encoding="utf-8")
    convert(json.loads(text)).save(output)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
