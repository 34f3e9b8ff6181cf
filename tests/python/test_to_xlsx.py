"""examples/to_xlsx.py: the document written as .xlsx and read back with openpyxl."""

import datetime
import importlib.util
import pathlib
import subprocess
import sys

import pytest

from tabulon import Book

openpyxl = pytest.importorskip("openpyxl")

EXAMPLES = pathlib.Path(__file__).resolve().parents[2] / "examples"


def load(name):
    module_spec = importlib.util.spec_from_file_location(name, EXAMPLES / f"{name}.py")
    module = importlib.util.module_from_spec(module_spec)
    module_spec.loader.exec_module(module)
    return module


to_xlsx = load("to_xlsx")
report = load("report")


def expected_value(cell):
    """What the file should hold for a cell, from the cell's own typed accessors."""
    if cell.is_formula:
        return cell.formula
    if cell.data_type == "n":
        return int(cell.value) if cell.is_value_integer else float(cell.value)
    if cell.data_type == "b":
        return cell.value == "true"
    if cell.data_type == "d":
        return datetime.datetime.fromisoformat(cell.value)
    return cell.value or None


def write_and_read(book, tmp_path, via_stdin=False):
    path = tmp_path / "out.xlsx"
    if via_stdin:
        result = subprocess.run([sys.executable, str(EXAMPLES / "to_xlsx.py"), "-", str(path)],
                                input=book.to_json(), capture_output=True, text=True, timeout=120)
        assert result.returncode == 0, result.stderr
    else:
        source = tmp_path / "doc.json"
        source.write_text(book.to_json(), encoding="utf-8")
        assert to_xlsx.main([str(source), str(path)]) == 0
    return openpyxl.load_workbook(path)


@pytest.mark.parametrize("via_stdin", [False, True])
def test_report_round_trip(tmp_path, via_stdin):
    book = report.build()
    wb = write_and_read(book, tmp_path, via_stdin)
    assert wb.sheetnames == [s.name for s in book.sheets]
    for sheet, ws in zip(book.sheets, wb.worksheets):
        assert ws.sheet_state == sheet.sheet_state
        covered = {(r, c) for r0, r1, c0, c1 in sheet.merge_cells
                   for r in range(r0, r1 + 1) for c in range(c0, c1 + 1) if (r, c) != (r0, c0)}
        for cell in sheet.cells:
            if (cell.row, cell.column) in covered:
                continue
            got, want = ws.cell(cell.row, cell.column).value, expected_value(cell)
            # The file keeps no int/float distinction: 402.0 reads back as 402.
            kind = (int, float) if type(want) in (int, float) else (type(want),)
            assert got == want and type(got) in kind, cell.letter
            assert ws.cell(cell.row, cell.column).font.b == (cell.style in ("bold", "header", "title")), cell.letter
        assert sorted(str(r) for r in ws.merged_cells.ranges) == sorted(
            f"{openpyxl.utils.get_column_letter(c0)}{r0}:{openpyxl.utils.get_column_letter(c1)}{r1}"
            for r0, r1, c0, c1 in sheet.merge_cells)
        for row in range(1, sheet.max_row + 2):
            if row in ws.row_dimensions:
                assert ws.row_dimensions[row].height == sheet.get_height_by_row(row)
            assert bool(ws.row_dimensions[row].hidden) == sheet.get_hidden_by_row(row)
        for col in range(1, sheet.max_column + 1):
            letter = openpyxl.utils.get_column_letter(col)
            if letter in ws.column_dimensions and ws.column_dimensions[letter].width:
                assert ws.column_dimensions[letter].width == sheet.get_width_by_column(col)
            assert bool(ws.column_dimensions[letter].hidden) == sheet.get_hidden_by_column(col)
        comments = {(c.row, c.column): (c.author, c.text) for c in sheet.comments}
        found = {(c.row, c.column): (c.comment.author, c.comment.text)
                 for row in ws.iter_rows() for c in row if c.comment}
        assert found == comments
        assert ws.sheet_format.defaultRowHeight == 20.0 and ws.sheet_format.defaultColWidth == 22.5

    # The report's own numbers, so that a fault shared by the writer and the checks above shows.
    summary, data = wb["Summary"], wb["Data"]
    assert summary["B3"].value == "=SUM(Data!B2:B5)" and summary["A1"].font.b
    assert data["D2"].value == datetime.datetime(2024, 3, 1, 8, 0) and data["C2"].value == 310.5
    assert data.row_dimensions[6].hidden and data.column_dimensions["A"].width == 18.0
    assert summary.row_dimensions[1].height == 32.0 and wb.worksheets[2].sheet_state == "hidden"
    assert (summary["B3"].comment.author, summary["B3"].comment.text) == ("Finance", "Includes returns")


def one_sheet(setup):
    book = Book()
    setup(book.add_sheet("S"))
    return book


@pytest.mark.parametrize(
    "setup, where, value",
    [
        (lambda s: s.cell(1, 1, "=not a formula"), "A1", "=not a formula"),
        (lambda s: s.cell(1, 1, "nan"), "A1", None),
        (lambda s: s.cell(1, 1, "TRUE"), "A1", True),
        (lambda s: s.cell(1, 1).set_value_datetime(datetime.datetime(2024, 3, 5, 7, 8, 9, 250000)), "A1",
         datetime.datetime(2024, 3, 5, 7, 8, 9, 250000)),
        (lambda s: setattr(s.cell(1, 1, "3"), "formula", "A2*2"), "A1", "=A2*2"),
        (lambda s: s.cell(0, 1, "row zero") and s.cell(2, 2, "kept"), "B2", "kept"),
    ],
)
def test_cell_cases(tmp_path, setup, where, value):
    ws = write_and_read(one_sheet(setup), tmp_path).active
    assert ws[where].value == value


def test_reversed_merge_joined_comments_columns_and_sheet_names(tmp_path):
    def setup(s):
        s.name = "a/b:c" + "x" * 40
        s.add_merge_cells(3, 1, 2, 1)
        s.add_merge_cells(4, 4, 4, 4)  # a single cell is no range
        s.add_comment(1, 1, "first", "Ann")
        s.add_comment(1, 1, "second", "Bob")
        s.set_hidden_column(2, True)
        s.set_width_column(3, 9.0)

    ws = write_and_read(one_sheet(setup), tmp_path).active
    assert ws.title == ("a_b_c" + "x" * 40)[:31]
    assert [str(r) for r in ws.merged_cells.ranges] == ["A1:B3"]
    assert (ws["A1"].comment.text, ws["A1"].comment.author) == ("first\nsecond", "Ann, Bob")
    assert ws.column_dimensions["B"].hidden and ws.column_dimensions["C"].width == 9.0


def test_every_sheet_hidden_leaves_the_first_visible(tmp_path):
    book = Book()
    book.add_sheet("A", "hidden")
    book.add_sheet("B", "hidden")
    wb = write_and_read(book, tmp_path)
    assert [ws.sheet_state for ws in wb.worksheets] == ["visible", "hidden"]
