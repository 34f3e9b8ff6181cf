"""Sheets: the cell store, listing, dimensions, merged ranges, comments, deletion, ranges."""

import pytest

from conftest import coords
from tabulon import Book


def test_new_sheet_defaults(sheet):
    assert (sheet.max_row, sheet.max_column, sheet.cells, sheet.merge_cells, sheet.comments) == (0, 0, [], [], [])
    assert sheet.get_value_cell(1, 1) == ""
    assert sheet.get_height_by_row(1) == 20.0 and sheet.get_width_by_column(1) == 22.5
    assert sheet.get_hidden_by_row(1) is False and sheet.get_hidden_by_column(1) is False
    assert repr(sheet) == "Sheet (Data) cells: 0"
    assert (sheet.name, sheet.sheet_state) == ("Data", "visible")


def test_cell_without_value_resets_the_type_code_unless_formula(sheet):
    cell = sheet.cell(2, 3, "42")
    assert cell.data_type == "n"
    assert sheet.cell(2, 3).data_type == "s" and cell.value == "42"
    cell.formula = "=1"
    assert sheet.cell(2, 3).data_type == "f"
    assert sheet.cell(2, 3, None).data_type == "f"
    sheet.cell(2, 3, value="x")
    assert cell.formula is None and cell.value == "x"
    assert repr(sheet) == "Sheet (Data) cells: 1"


def test_listing_is_row_major_and_maxima_ignore_dimensions(sheet):
    for r, c in [(3, 1), (1, 2), (1, 1), (2, 5), (0, 0)]:
        sheet.cell(r, c)
    sheet.set_height_row(9, 5.0)
    sheet.set_width_column(30, 5.0)
    assert coords(sheet.cells) == [(0, 0), (1, 1), (1, 2), (2, 5), (3, 1)]
    assert (sheet.max_row, sheet.max_column) == (3, 5)


def test_large_shuffled_listing_matches_sorted_order(sheet):
    import random

    keys = [(r, c) for r in range(1, 60) for c in range(1, 60)]
    random.Random(3).shuffle(keys)
    for r, c in keys:
        sheet.cell(r, c, f"{r}:{c}")
    assert coords(sheet.cells) == sorted(keys)
    assert all(cell.value == f"{cell.row}:{cell.column}" for cell in sheet.cells)


def test_dimensions(sheet):
    sheet.set_width_column(2, 10.0)
    sheet.set_height_row(1, -3.0)
    sheet.set_hidden_row(5, True)
    sheet.set_hidden_column(col_num=4, val=True)
    sheet.set_height_row(6, 7)  # an int is a float argument
    assert sheet.get_width_by_column(2) == 10.0 and sheet.get_hidden_by_column(2) is False
    assert sheet.get_height_by_row(1) == -3.0
    assert sheet.get_hidden_by_row(5) is True and sheet.get_height_by_row(5) == 20.0
    assert sheet.get_hidden_by_column(4) is True and sheet.get_width_by_column(4) == 22.5
    assert type(sheet.get_height_by_row(6)) is float


def test_merged_ranges_and_state(sheet):
    sheet.add_merge_cells(5, 1, 4, 2)
    sheet.add_merge_cells(start_row=5, end_row=1, start_col=4, end_col=2)
    assert sheet.merge_cells == [(5, 1, 4, 2), (5, 1, 4, 2)]
    sheet.set_sheet_state("no such state")
    assert sheet.sheet_state == "no such state"


def test_comments_are_live_handles(sheet):
    sheet.add_comment(1, 1, "Check", "Reviewer")
    sheet.add_comment(1, 1, "Second", "Other")
    sheet.add_comment(0, 0, "", "")
    first = sheet.comments[0]
    assert (first.coordinate, first.row, first.column, first.text, first.author) == ((1, 1), 1, 1, "Check", "Reviewer")
    assert [c.text for c in sheet.comments] == ["Check", "Second", ""]
    assert sheet.max_row == 0
    first.text = "Checked"
    first.author = "Lead"
    again = sheet.comments[0]
    assert (again.text, again.author) == ("Checked", "Lead")
    assert again is not first and again != first


@pytest.mark.parametrize(
    "action, error",
    [
        (lambda c: setattr(c, "text", None), TypeError),
        (lambda c: delattr(c, "author"), AttributeError),
        (lambda c: setattr(c, "row", 2), AttributeError),
        (lambda c: setattr(c, "coordinate", (1, 1)), AttributeError),
    ],
)
def test_comment_bad_writes(sheet, action, error):
    sheet.add_comment(1, 1, "Check", "Reviewer")
    with pytest.raises(error):
        action(sheet.comments[0])
    assert (sheet.comments[0].text, sheet.comments[0].author) == ("Check", "Reviewer")


def test_rename_is_seen_through_every_handle():
    book = Book()
    a = book.add_sheet("A")
    book.sheets[0].name = "Renamed"
    assert a.name == "Renamed"


def sheet_state(sheet):
    return (
        [(c.row, c.column, c.value, c.data_type, c.formula, c.style) for c in sheet.cells],
        sheet.merge_cells,
        [(c.coordinate, c.text, c.author) for c in sheet.comments],
        sheet.name,
        sheet.sheet_state,
        [sheet.get_height_by_row(r) for r in range(4)],
        [sheet.get_hidden_by_column(c) for c in range(4)],
    )


@pytest.mark.parametrize(
    "call, error",
    [
        (lambda s: s.cell(-1, 1), OverflowError),
        (lambda s: s.cell(1, 65536), OverflowError),
        (lambda s: s.cell(2**32, 1), OverflowError),
        (lambda s: s.cell(1.0, 1), TypeError),
        (lambda s: s.cell(1, 1, 5), TypeError),
        (lambda s: s.cell(1, 9, "\udc80"), UnicodeEncodeError),
        (lambda s: s.cell(1), TypeError),
        (lambda s: s.cell(1, 1, "x", "y"), TypeError),
        (lambda s: s.cell(1, 1, val="x"), TypeError),
        (lambda s: s.add_merge_cells(1, 1, 1, 70000), OverflowError),
        (lambda s: s.add_merge_cells(1, 1, 1), TypeError),
        (lambda s: s.add_comment(1, 70000, "t", "a"), OverflowError),
        (lambda s: s.add_comment(1, 1, "t", None), TypeError),
        (lambda s: s.set_sheet_state(None), TypeError),
        (lambda s: setattr(s, "name", None), TypeError),
        (lambda s: delattr(s, "name"), AttributeError),
        (lambda s: setattr(s, "sheet_state", "x"), AttributeError),
        (lambda s: setattr(s, "cells", []), AttributeError),
        (lambda s: s.set_height_row(1, "high"), TypeError),
        (lambda s: s.set_height_row(-1, 1.0), OverflowError),
        (lambda s: s.set_hidden_row(1, 1), TypeError),
        (lambda s: s.set_width_column(65536, 1.0), OverflowError),
        (lambda s: s.set_hidden_column(1, None), TypeError),
        (lambda s: s.get_height_by_row(-1), OverflowError),
        (lambda s: s.get_width_by_column("A"), TypeError),
        (lambda s: s.delete_rows(-1, 1), OverflowError),
        (lambda s: s.delete_rows(1, 2**32), OverflowError),
        (lambda s: s.delete_cols(1, 65536), OverflowError),
        (lambda s: s.delete_cols("1", 1), TypeError),
        (lambda s: s.get_cells_by_range(-1), OverflowError),
        (lambda s: s.get_cells_by_range(end_col=65536), OverflowError),
        (lambda s: s.get_cells_by_range(1, 2, "3"), TypeError),
        (lambda s: s.get_value_cell(1, -1), OverflowError),
    ],
)
def test_bad_arguments_change_nothing(sheet, call, error):
    sheet.cell(1, 1, "5").style = "st"
    sheet.cell(2, 2, "x")
    sheet.add_merge_cells(1, 1, 1, 2)
    sheet.add_comment(1, 1, "c", "a")
    sheet.set_height_row(1, 3.0)
    before = sheet_state(sheet)
    with pytest.raises(error):
        call(sheet)
    assert sheet_state(sheet) == before


class TestDeletion:
    def test_delete_rows_closes_the_gap(self, sheet):
        for r in (1, 3, 4, 7):
            sheet.cell(r, 2, f"r{r}")
        moved, removed = sheet.cell(7, 2), sheet.cell(3, 2)
        sheet.delete_rows(3, 2)
        assert coords(sheet.cells) == [(1, 2), (5, 2)]
        assert sheet.max_row == 5 and moved.row == 5
        assert sheet.get_value_cell(5, 2) == "r7"
        # A removed cell is detached: it keeps its coordinate, and writes do not reach the sheet.
        assert (removed.row, removed.value) == (3, "r3")
        removed.value = "changed"
        assert sheet.get_value_cell(3, 2) == "" and len(sheet.cells) == 2

    def test_delete_cols(self, sheet):
        for c in (1, 2, 3):
            sheet.cell(1, c, f"c{c}")
        sheet.delete_cols(2, 1)
        assert [(c.column, c.value) for c in sheet.cells] == [(1, "c1"), (2, "c3")]
        assert sheet.get_value_cell(1, 3) == ""

    @pytest.mark.parametrize(
        "method, idx, amount, expected",
        [
            ("delete_rows", 5, 0, [(0, 1), (1, 1), (5, 1), (4000000001, 1)]),
            ("delete_rows", 0, 1, [(0, 1), (4, 1), (4000000000, 1)]),
            ("delete_rows", 4000000000, 500000000, [(0, 1), (1, 1), (5, 1)]),
            ("delete_cols", 0, 65535, []),
            ("delete_cols", 2, 5, [(0, 1), (1, 1), (5, 1), (4000000001, 1)]),
        ],
    )
    def test_band_edges(self, sheet, method, idx, amount, expected):
        for r in (0, 1, 5, 4000000001):
            sheet.cell(r, 1)
        getattr(sheet, method)(idx, amount)
        assert coords(sheet.cells) == expected

    def test_high_columns_are_removed_without_wrap(self, sheet):
        for c in (64999, 65000, 65535):
            sheet.cell(1, c)
        sheet.delete_cols(65000, 1000)
        assert coords(sheet.cells) == [(1, 64999)]

    def test_other_parts_of_the_sheet_keep_their_numbers(self, sheet):
        sheet.cell(2, 2)
        sheet.add_merge_cells(2, 3, 2, 3)
        sheet.add_comment(10, 2, "t", "a")
        sheet.set_height_row(2, 9.0)
        sheet.set_hidden_column(2, True)
        sheet.delete_rows(1, 5)
        sheet.delete_cols(1, 5)
        assert sheet.merge_cells == [(2, 3, 2, 3)] and sheet.comments[0].row == 10
        assert sheet.get_height_by_row(2) == 9.0 and sheet.get_hidden_by_column(2) is True

    def test_deletion_in_a_copy_leaves_the_source_as_it_was(self):
        book = Book()
        source = book.add_sheet("Data")
        for r in (1, 2, 3):
            source.cell(r, 1, f"v{r}")
        copy = book.copy_sheet(source)
        source_cell = source.cell(3, 1)
        copy.delete_rows(1, 1)
        assert [(c.row, c.value) for c in copy.cells] == [(1, "v2"), (2, "v3")]
        assert [(c.row, c.value) for c in source.cells] == [(1, "v1"), (2, "v2"), (3, "v3")]
        assert source_cell.row == 3 and source.get_value_cell(3, 1) == "v3"
        # Both sheets keep their keys in step with their records.
        for s in (source, copy):
            assert all(s.get_value_cell(c.row, c.column) == c.value for c in s.cells)
        # Cells the copy did not move stay shared.
        copy.cell(1, 1).value = "v2 shared"
        assert source.get_value_cell(2, 1) == "v2"  # moved: the copy has its own record
        source.cell(1, 1).value = "only source"
        assert copy.get_value_cell(1, 1) == "v2 shared"

    def test_unmoved_shared_records_stay_shared_after_a_deletion(self):
        book = Book()
        source = book.add_sheet("Data")
        source.cell(1, 1, "a")
        source.cell(5, 1, "b")
        copy = book.copy_sheet(source)
        copy.delete_rows(3, 1)
        copy.cell(1, 1).value = "both"
        assert source.get_value_cell(1, 1) == "both"


class TestRange:
    def test_defaults_bound_the_rectangle(self, sheet):
        for r, c in [(0, 1), (1, 0), (1, 1), (1048576, 16384), (1048577, 1), (1, 16385)]:
            sheet.cell(r, c)
        assert coords(sheet.get_cells_by_range()) == [(1, 1), (1048576, 16384)]
        assert coords(sheet.get_cells_by_range(None, None, None, None)) == [(1, 1), (1048576, 16384)]
        assert coords(sheet.get_cells_by_range(start_row=0, start_col=0)) == [(0, 1), (1, 0), (1, 1), (1048576, 16384)]

    def test_rectangle_and_order(self, sheet):
        for r, c in [(2, 1), (1, 5), (1, 2), (2, 3), (9, 9)]:
            sheet.cell(r, c)
        assert coords(sheet.get_cells_by_range(1, 2, 1, 5)) == [(1, 2), (1, 5), (2, 1), (2, 3)]
        assert coords(sheet.get_cells_by_range(2, 2, 3, 3)) == [(2, 3)]
        assert sheet.get_cells_by_range(3, 3, 3, 3) == [] and len(sheet.cells) == 5
        assert sheet.get_cells_by_range(5, 2) == []

    def test_returned_cells_alias_the_sheet(self, sheet):
        sheet.cell(2, 2)
        sheet.get_cells_by_range()[0].value = "written"
        assert sheet.get_value_cell(2, 2) == "written"
