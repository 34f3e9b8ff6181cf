"""Book: adding, copying and finding sheets."""

import pytest

from tabulon import Book


def test_empty_book():
    book = Book()
    assert book.sheets == [] and repr(book) == "Book, sheets: 0"


def test_add_sheet_keeps_duplicates_and_any_state():
    book = Book()
    first = book.add_sheet("Data")
    book.add_sheet("Data", "hidden")
    book.add_sheet(name="", sheet_state="whatever")
    assert [(s.name, s.sheet_state) for s in book.sheets] == [("Data", "visible"), ("Data", "hidden"), ("", "whatever")]
    found = book.get_sheet_name("Data")
    found.cell(1, 1, "x")
    assert first.get_value_cell(1, 1) == "x"
    assert book.get_sheet_name("data") is None
    assert repr(book) == "Book, sheets: 3"


def test_sheet_handles_are_new_objects_on_one_record():
    book = Book()
    book.add_sheet("A")
    a, b = book.sheets[0], book.sheets[0]
    assert a is not b and a != b
    a.cell(1, 1, "v")
    assert b.get_value_cell(1, 1) == "v"


@pytest.mark.parametrize("idx, found", [(0, "A"), (1, "B"), (-1, None), (2, None)])
def test_get_sheet_index(idx, found):
    book = Book()
    book.add_sheet("A")
    book.add_sheet("B")
    sheet = book.get_sheet_index(idx)
    assert (sheet.name if sheet else None) == found


def test_copy_sheet_shares_cells_and_comments_but_owns_its_lists():
    book = Book()
    book.add_sheet("Sheet 3")
    source = book.add_sheet("Data")
    source.cell(1, 1, "5").style = "st"
    source.add_comment(1, 1, "note", "me")
    source.add_merge_cells(1, 1, 1, 2)
    source.set_width_column(1, 9.0)
    copy = book.copy_sheet(source)
    assert (copy.name, book.get_sheet_index(2).name) == ("Sheet 3", "Sheet 3")
    assert [s.name for s in book.sheets] == ["Sheet 3", "Data", "Sheet 3"]
    assert (copy.get_value_cell(1, 1), copy.merge_cells, copy.get_width_by_column(1)) == ("5", [(1, 1, 1, 2)], 9.0)

    copy.cell(1, 1).value = "6"  # shared record
    copy.comments[0].text = "edited"
    assert source.get_value_cell(1, 1) == "6" and source.comments[0].text == "edited"

    copy.cell(2, 2, "new")  # own map, lists and dimensions
    copy.add_comment(3, 3, "own", "me")
    copy.add_merge_cells(5, 5, 5, 5)
    copy.set_width_column(1, 1.0)
    assert (len(source.cells), len(source.comments), source.merge_cells) == (1, 1, [(1, 1, 1, 2)])
    assert source.get_width_by_column(1) == 9.0


def test_copy_from_another_book():
    other = Book()
    src = other.add_sheet("X")
    src.cell(1, 1, "a")
    book = Book()
    copy = book.copy_sheet(sheet=src)
    assert copy.name == "Sheet 1" and copy.get_value_cell(1, 1) == "a"


@pytest.mark.parametrize(
    "call, error",
    [
        (lambda b: b.add_sheet(None), TypeError),
        (lambda b: b.add_sheet("A", None), TypeError),
        (lambda b: b.add_sheet(), TypeError),
        (lambda b: b.copy_sheet("Data"), TypeError),
        (lambda b: b.copy_sheet(b), TypeError),
        (lambda b: b.get_sheet_index(2**31), OverflowError),
        (lambda b: b.get_sheet_index("0"), TypeError),
        (lambda b: b.get_sheet_name(1), TypeError),
        (lambda b: setattr(b, "sheets", []), AttributeError),
    ],
)
def test_bad_arguments_add_nothing(call, error):
    book = Book()
    book.add_sheet("Data")
    with pytest.raises(error):
        call(book)
    assert [s.name for s in book.sheets] == ["Data"]
