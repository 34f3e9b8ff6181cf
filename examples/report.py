"""A small monthly sales report built with tabulon.

Builds a book with a summary sheet (merged title, column widths, formulas with cached
values, a comment) and a data sheet (typed values, a hidden helper row), copies the data
sheet for an archive, searches it, and prints what it made and the size of its document.
"""

import datetime

from tabulon import Book, column_number_to_letter

SALES = [
    ("North", 1200, 310.5, datetime.datetime(2024, 3, 1, 8, 0)),
    ("South", 950, 250.25, datetime.datetime(2024, 3, 2, 9, 30)),
    ("East", 1430, 402.0, datetime.datetime(2024, 3, 3, 10, 15)),
    ("West", 780, 198.75, datetime.datetime(2024, 3, 4, 11, 45)),
]


def build() -> Book:
    book = Book()
    summary = book.add_sheet("Summary")
    data = book.add_sheet("Data")

    headers = ["Region", "Units", "Revenue", "Booked"]
    for col, title in enumerate(headers, 1):
        data.cell(1, col, title).style = "header"
        data.set_width_column(col, 18.0)
    for row, (region, units, revenue, booked) in enumerate(SALES, 2):
        data.cell(row, 1, region)
        data.cell(row, 2, str(units))
        data.cell(row, 3).set_value_number(revenue)
        data.cell(row, 4).set_value_datetime(booked)
    helper = len(SALES) + 2
    data.cell(helper, 1, "checksum")
    data.cell(helper, 2, str(sum(s[1] for s in SALES)))
    data.set_hidden_row(helper, True)

    summary.cell(1, 1, "Sales, March 2024").style = "title"
    summary.add_merge_cells(1, 1, 1, 3)
    summary.set_height_row(1, 32.0)
    summary.set_width_column(1, 30.0)
    last = len(SALES) + 1
    totals: list[tuple[str, int, float]] = [
        ("Units", 2, sum(s[1] for s in SALES)),
        ("Revenue", 3, sum(s[2] for s in SALES)),
    ]
    for row, (label, column, amount) in enumerate(totals, 3):
        letter = column_number_to_letter(column)
        summary.cell(row, 1, label)
        total = summary.cell(row, 2, str(amount))
        total.formula = f"=SUM(Data!{letter}2:{letter}{last})"  # cached value first, then the formula
    summary.add_comment(3, 2, "Includes returns", "Finance")

    archive = book.copy_sheet(data)
    archive.set_sheet_state("hidden")
    return book


def main() -> None:
    book = build()
    data = book.get_sheet_name("Data")
    summary = book.get_sheet_name("Summary")
    assert data is not None and summary is not None
    print(repr(book))
    for sheet in book.sheets:
        print(f"  {sheet!r}: state={sheet.sheet_state}, {sheet.max_row} rows x {sheet.max_column} columns")
    for cell in summary.cells:
        shown = f"{cell.formula} -> {cell.value}" if cell.is_formula else cell.value
        print(f"  Summary!{cell.letter}: {shown}")
    print("  regions matching 'th$':", [c.value for c in data.find_cells_by_regex("th$")])
    booked = data.find_cell_by_str("2024-03-03 10:15:00")
    assert booked is not None
    print(f"  booked on March 3rd: {data.get_value_cell(booked.row, 1)} ({booked.letter})")
    document = book.to_json()
    print(f"document: {len(document.encode())} bytes, {len(book.to_dict()['sheets'])} sheets")


if __name__ == "__main__":
    main()
