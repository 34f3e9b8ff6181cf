"""The read-only side: intake of Python objects, module searches, ReadableSheet, Finder."""

import datetime
import sys
import threading
import time
from decimal import Decimal

import pytest

from tabulon import Book
from tabulon import readable as r
from tabulon.readable import Finder, ReadableCell, create_finder


def cell(row=1, column=1, value="x", formula=None, data_type="s", style_id=None):
    return {"row": row, "column": column, "value": value, "formula": formula, "data_type": data_type,
            "style_id": style_id}


def view(**fields):
    """The view of the one record that intake makes of a cell dict."""
    return r.find_cells_range_rows(0, 4294967295, [cell(**fields)])[0]


class StrDateTime(datetime.datetime):
    def __str__(self):
        return "own text"


class Obj:
    def __init__(self, **fields):
        self.__dict__.update(fields)


class TestIntakeConversions:
    @pytest.mark.parametrize(
        "given, row",
        [("7", 7), ("+7", 7), ("7.0", 0), (" 7", 0), ("-7", 0), ("", 0), ("4294967296", 0), (7.9, 7),
         (-1, 4294967295), (2**32 + 5, 5), (-0.5, 0), (1e20, 4294967295), (float("nan"), 0), (True, 1),
         (None, 0), ([1], 0), ((1,), 0)],
    )
    def test_row(self, given, row):
        assert view(row=given).row == row

    @pytest.mark.parametrize(
        "given, column",
        [(65536, 0), (-1, 65535), (70000.0, 65535), ("65535", 65535), ("65536", 0), (False, 0)],
    )
    def test_column(self, given, column):
        assert view(column=given).column == column

    @pytest.mark.parametrize(
        "value, data_type, text, kind",
        [
            (5, "n", "5", "is_value_integer"),
            (5, "s", "5", None),
            (None, "n", "", "is_value_empty"),
            ("", "s", "", None),
            (5.0, "n", "5", "is_value_integer"),  # the text form "5" reads back as an integer
            (0.1, "x", "0.1", "is_value_numeric"),
            (-2.5, "n", "-2.5", "is_value_numeric"),
            (1e-7, "n", "0.0000001", "is_value_numeric"),
            (2**52 - 0.5, "n", "4503599627370495.5", "is_value_numeric"),
            (-0.0, "n", "0", "is_value_integer"),
            (float("inf"), "n", "inf", "is_value_numeric"),
            (float("nan"), "n", "NaN", "is_value_numeric"),
            (True, "b", "true", "is_value_bool"),
            ([1, "a", None], "s", "[1, a, ]", None),
            ([[1.5, [True]], ()], "s", "[[1.5, [true]], ()]", None),
            ((1, 2), "s", "(1, 2)", None),
            (Decimal("1.50"), "n", "1.5", "is_value_numeric"),
            (datetime.datetime(2024, 1, 2, 3, 4, 5), "d", "2024-01-02 03:04:05", "is_value_datetime"),
            (datetime.datetime(2024, 1, 2, 3, 4, 5, 500000), "d", "2024-01-02 03:04:05.500000", None),
            (datetime.datetime(2024, 1, 2, 3, 4, 5), "s", "2024-01-02 03:04:05", None),
            (datetime.datetime(999, 5, 6, 7, 8, 9, 1), "d", "0999-05-06 07:08:09.000001", None),
            (datetime.datetime(1, 1, 1), "n", "0001-01-01 00:00:00", "is_value_datetime"),
            (datetime.datetime(2024, 1, 2, tzinfo=datetime.timezone.utc), "d", "2024-01-02 00:00:00+00:00", None),
            (StrDateTime(2024, 1, 2), "d", "own text", None),
            ([datetime.datetime(2024, 1, 2)], "s", "[2024-01-02 00:00:00]", None),
            (2**31 - 1, "n", "2147483647", "is_value_integer"),
            (-(2**31), "n", "-2147483648", "is_value_integer"),
            (2**31, "n", "2147483648", "is_value_numeric"),
            (False, "b", "false", "is_value_bool"),
            (True, "s", "true", None),
            ({"k": 1}, "s", "{'k': 1}", None),
        ],
    )
    def test_value(self, value, data_type, text, kind):
        c = view(value=value, data_type=data_type)
        kinds = ["is_value_empty", "is_value_bool", "is_value_numeric", "is_value_integer", "is_value_datetime"]
        assert c.value == text and c.data_type == data_type
        assert [getattr(c, k) for k in kinds] == [k == kind for k in kinds]

    def test_other_fields(self):
        c = view(formula="=A1", data_type="f", style_id=3)
        assert (c.formula, c.data_type, c.style, c.is_formula) == ("=A1", "f", "3", True)
        c = view(formula="=A1", data_type="n")
        assert (c.formula, c.is_formula) == ("=A1", False)
        c = view(formula=None, data_type="f")
        assert (c.formula, c.is_formula) == (None, False)

    def test_objects_and_dict_subclasses(self):
        class D(dict):
            pass

        assert view().value == "x"
        assert r.find_cell_by_str("x", [Obj(**cell())]).value == "x"
        assert r.find_cell_by_str("x", [D(cell())]).value == "x"

    def test_self_containing_list_renders_like_str(self):
        v = []
        v.append(v)
        w = [1, v]
        assert view(value=v).value == "[[...]]" == str(v).replace("...", "...")
        assert view(value=w).value == "[1, [[...]]]"

    def test_nesting_past_the_recursion_limit_raises(self):
        deep = []
        for _ in range(sys.getrecursionlimit() + 50):
            deep = [deep]
        with pytest.raises(RecursionError):
            r.find_cells_by_str("x", [cell(value=deep)])
        # The interpreter stays healthy and the same call works with shallow input.
        assert len(r.find_cells_by_str("x", [cell()])) == 1


class Boom:
    def __str__(self):
        raise ZeroDivisionError("no text for you")


class RaisingProperty:
    row, column, value, formula, data_type = 1, 1, "x", None, "s"

    @property
    def style_id(self):
        raise LookupError("broken property")


@pytest.mark.parametrize(
    "cells, error",
    [
        ([{"row": 1}], KeyError),
        ([cell(), Obj(row=1, column=1, value="x", formula=None, data_type="s")], AttributeError),
        ([cell(row=2**64)], OverflowError),
        ([cell(value=[2**70])], OverflowError),
        ([cell(value=Boom())], ZeroDivisionError),
        ([cell(value=[Boom()])], ZeroDivisionError),
        ([RaisingProperty()], LookupError),
        ([cell(value="\ud800")], UnicodeEncodeError),
        ([5], AttributeError),
    ],
)
def test_intake_failures_abort_the_call(cells, error):
    with pytest.raises(error):
        r.find_cells_by_regex("(", cells)  # intake first: its error wins over the pattern's


def test_cells_from_this_module_lack_style_id():
    sheet = Book().add_sheet("S")
    with pytest.raises(AttributeError):
        r.find_cells_by_str("x", [sheet.cell(1, 1, "x")])


class TestModuleFunctions:
    def test_empty_and_wrong_container(self):
        assert r.find_cells_by_str("x", []) == [] and r.find_cell_by_str("x", []) is None
        with pytest.raises(TypeError):
            r.find_cell_by_str("x", ("a",))

    def test_list_order_duplicates_and_keywords(self):
        cells = [cell(1, 1, "a"), cell(3, 1, "c"), cell(2, 1, "b"), cell(1, 1, "dup")]
        assert r.find_cell_by_coords(row=1, col=1, cells=cells).value == "a"
        assert r.find_value_by_coords(1, 1, cells) == "a" and r.find_value_by_coords(9, 9, cells) is None
        assert r.find_values_by_col_rows(1, [3, 1, 3], cells) == ["a", "c", "dup"]
        assert r.find_values_by_col_rows(1, (2,), cells) == ["b"]
        assert r.find_values_by_row_cols(1, [], cells) == []
        assert [c.row for c in r.find_cells_range_rows(1, 2, cells)] == [1, 2, 1]
        assert r.find_cell_by_letter("a3", cells).value == "c"
        with pytest.raises(ValueError):
            r.find_cell_by_letter("3", cells)

    def test_a_list_emptied_during_intake_is_searched_as_it_was(self):
        finder = Finder([{"name": "S", "sheet_state": "v", "merge_cells": [], "cells": [cell(1, 1, "x")]}])
        views = finder.sheets[0].cells
        del finder

        class Clears:
            def __str__(self):
                cells.clear()
                return "x"

        cells = [views[0], cell(2, 1, Clears()), views.pop()]
        found = r.find_cells_by_str("x", cells)
        assert cells == [] and [c.row for c in found] == [1, 2, 1]

    def test_readable_cells_are_searched_in_place(self):
        finder = Finder([{"name": "S", "sheet_state": "v", "merge_cells": [], "cells": [cell(1, 1, "x")]}])
        original = finder.sheets[0].cells[0]
        found = r.find_cell_by_str("x", [original, original])
        assert isinstance(found, ReadableCell) and found is not original and found.value == "x"
        assert len(r.find_cells_by_str("x", [original, original])) == 2

    def test_sections_in_list_order(self):
        cells = [cell(5, 1, "start"), cell(2, 1, "end"), cell(7, 1, "x")]
        assert [c.row for c in r.find_cells_multi_regex("start", "end", cells)] == [5, 2]
        assert r.find_cells_between_regex("start", "end", cells) == []
        assert [c.row for c in r.find_cells_between_regex("start", "nothing", cells)] == [5, 7]
        assert [c.row for c in r.find_cells_for_cols_by_regex(".", 5, cells)] == [5, 2]
        assert [c.column for c in r.find_cells_for_rows_by_regex(".", 1, cells)] == [1, 1, 1]

    @pytest.mark.parametrize(
        "call, error",
        [
            (lambda c: r.find_cell_by_coords(-1, 1, c), OverflowError),
            (lambda c: r.find_cell_by_coords(1, 70000, c), OverflowError),
            (lambda c: r.find_values_by_col_rows(2, "12", c), TypeError),
            (lambda c: r.find_values_by_col_rows(2, [1, "2"], c), TypeError),
            (lambda c: r.find_values_by_row_cols(2, [70000], c), OverflowError),
            (lambda c: r.find_cells_by_regex("(", c), RuntimeError),
            (lambda c: r.find_cells_multi_regex("(", "[", c), RuntimeError),
            (lambda c: r.find_cell_by_str(None, c), TypeError),
            (lambda c: r.find_cell_by_str("x"), TypeError),
            (lambda c: r.find_cell_by_str("x", c, c), TypeError),
            (lambda c: r.find_cell_by_str("x", cells=c, other=1), TypeError),
            (lambda c: r.find_cells_by_str("x", {"a": 1}), TypeError),
        ],
    )
    def test_argument_errors(self, call, error):
        with pytest.raises(error):
            call([cell()])


SHEETS = [
    {"name": "Data", "sheet_state": "visible", "merge_cells": [[1, 1, 1, 3]],
     "cells": [cell(3, 1, "c"), cell(1, 2, "b"), cell(1, 1, "a"), cell(1, 1, "a2")]},
    {"name": "data", "sheet_state": "hidden", "merge_cells": [(1, 1, 1, 3), 7, None], "cells": []},
    Obj(name="Data", sheet_state=None, merge_cells=None, cells=[]),
]


@pytest.fixture
def finder():
    return Finder(SHEETS)


class TestReadableSheet:
    def test_attributes_and_lookup(self, finder):
        s = finder.sheets[0]
        assert [(c.row, c.column, c.value) for c in s.cells] == [(1, 1, "a2"), (1, 2, "b"), (3, 1, "c")]
        assert (s.name, s.sheet_state, s.max_row, s.max_column, s.merge_cells) == ("Data", "visible", 3, 2,
                                                                                   [(1, 1, 1, 3)])
        assert finder.sheets[1].merge_cells == [(0, 0, 0, 0), (7, 0, 0, 0), (0, 0, 0, 0)]
        assert finder.sheets[2].sheet_state == "" and finder.sheets[2].merge_cells == []
        assert s.get_value_cell(1, 2) == "b" and s.get_value_cell(9, 9) == ""
        assert s.find_cell_by_coords(3, 1).value == "c" and s.find_cell_by_coords(3, 1) is not s.find_cell_by_coords(3, 1)
        assert s.find_value_by_coords(9, 9) is None
        assert repr(s) == "ReadableSheet (Data) cells: 3"
        assert repr(s.cells[0]) == "ReadableCell, Coords: Coordinate { row: 1, column: 1 }"

    def test_searches_return_views(self, finder):
        s = finder.sheets[0]
        assert [c.value for c in s.find_cells_by_regex("^[abc]")] == ["a2", "b", "c"]
        assert isinstance(s.find_cell_by_str("b"), ReadableCell)
        assert sorted(s.find_values_by_col_rows(1, [1, 3])) == ["a2", "c"]
        assert s.find_values_by_row_cols(1, (2,)) == ["b"]
        assert [c.value for c in s.get_cells_by_range(start_row=None)] == ["a2", "b", "c"]
        assert [c.value for c in s.get_cells_by_range(1, 1, 2, 2)] == ["b"]
        assert [c.value for c in s.find_cells_range_cols(2, 2)] == ["b"]
        assert s.find_cell_by_letter("$A$3").value == "c"
        with pytest.raises(RuntimeError):
            s.find_cells_by_regex("(")
        with pytest.raises(OverflowError):
            s.find_cell_by_coords(-1, 1)
        with pytest.raises(TypeError):
            s.find_values_by_col_rows(1, "12")

    @pytest.mark.parametrize("action", [
        lambda s: s.comments, lambda s: s.cell(1, 1), lambda s: s.get_height_by_row(1),
        lambda s: setattr(s, "name", "x"), lambda s: s.cells[0].hidden_value,
        lambda s: setattr(s.cells[0], "value", "new"), lambda s: delattr(s.cells[0], "row"),
    ])
    def test_no_writes(self, finder, action):
        s = finder.sheets[0]
        with pytest.raises(AttributeError):
            action(s)
        assert s.name == "Data" and s.cells[0].value == "a2"


class TestFinder:
    def test_empty(self):
        f = Finder([])
        assert (f.sheets, f.get_sheet_index(0), f.find_sheet_by_name("x"), f.get_sheets_without_names([])) == (
            [], None, None, [])
        assert repr(f) == "Finder, sheets: 0"

    def test_name_queries(self, finder):
        assert repr(finder) == "Finder, sheets: 3"
        assert finder.find_sheet_by_name("Data").sheet_state == "visible"
        assert finder.find_sheet_by_name("data").sheet_state == "hidden"
        assert [s.sheet_state for s in finder.get_sheets_with_names(["Data"])] == ["visible", ""]
        assert [s.name for s in finder.get_sheets_without_names(["Data", "Data"])] == ["data"]
        assert finder.get_sheets_with_names(("nope",)) == []
        assert finder.find_sheet_by_regex("Dat").sheet_state == "visible"
        assert finder.find_sheet_by_regex("^data$").sheet_state == "hidden"
        assert finder.find_sheet_by_regex("^DATA$") is None
        assert finder.find_sheet_by_regex("(?i)^DATA$").sheet_state == "visible"
        assert finder.get_sheet_index(1).name == "data" and finder.get_sheet_index(-1) is None
        assert finder.get_sheet_index(3) is None
        assert finder.sheets[0] is not finder.sheets[0]

    @pytest.mark.parametrize("call, error", [
        (lambda f: f.find_sheet_by_regex("("), RuntimeError),
        (lambda f: f.get_sheets_with_names("Data"), TypeError),
        (lambda f: f.get_sheets_with_names(["Data", 1]), TypeError),
        (lambda f: f.get_sheet_index(2**31), OverflowError),
        (lambda f: f.find_sheet_by_name(None), TypeError),
    ])
    def test_query_errors(self, finder, call, error):
        with pytest.raises(error):
            call(finder)

    @pytest.mark.parametrize("make", [Finder, create_finder, lambda s: create_finder(sheets=s)])
    def test_construction(self, make):
        one = [{"name": "A", "sheet_state": "visible", "merge_cells": [], "cells": []}]
        assert make(one).sheets[0].name == "A"
        with pytest.raises(TypeError):
            make(tuple(one))
        with pytest.raises(KeyError):
            make(one + [{"name": "B", "sheet_state": "v", "merge_cells": []}])
        with pytest.raises(TypeError):
            make([{"name": "B", "sheet_state": "v", "merge_cells": [], "cells": ()}])

    def test_later_duplicate_coordinate_wins_and_sources_are_copied(self):
        source = {"name": "S", "sheet_state": "v", "merge_cells": [], "cells": [cell(1, 1, "first"), cell(1, 1, "second")]}
        f = Finder([source])
        source["cells"][0]["value"] = "changed"
        source["name"] = "renamed"
        assert [c.value for c in f.sheets[0].cells] == ["second"] and f.sheets[0].name == "S"

    def test_sheets_of_this_module_and_documents(self):
        book = Book()
        sheet = book.add_sheet("S")
        assert Finder([sheet]).sheets[0].name == "S"  # no cells: nothing lacks style_id
        sheet.cell(1, 1, "x")
        with pytest.raises(AttributeError):
            Finder([sheet])
        with pytest.raises(KeyError):
            Finder(book.to_dict()["sheets"])
        c = sheet.cell(1, 1)
        c.formula, c.style = "=1", "st"
        assert Finder(book.to_dict()["sheets"]).sheets[0].cells[0].formula == "=1"

    def test_views_outlive_the_finder(self):
        f = Finder(SHEETS)
        view_ = f.sheets[0]
        cell_view = view_.cells[0]
        del f
        assert view_.find_cell_by_str("b").value == "b" and cell_view.value == "a2"


def big_cells(n=60000):
    return [cell(i // 100 + 1, i % 100 + 1, f"item {i}" if i % 7 else "Total") for i in range(n)]


def book_sheet_search(views, sheet):
    book_sheet = Book().add_sheet("S")
    for i in range(300):
        book_sheet.cell(i + 1, 1, "a" * 30 + "b")
    return lambda: book_sheet.find_cells_by_regex(SLOW)


@pytest.mark.parametrize("prepare, releases", [
    (lambda views, sheet: lambda: r.find_cells_by_regex(SLOW, views), True),
    (lambda views, sheet: lambda: r.find_cells_multi_regex(SLOW, SLOW, views), True),
    (lambda views, sheet: lambda: sheet.find_cells_by_regex(SLOW), True),
    (lambda views, sheet: lambda: sheet.find_cell_by_regex(SLOW), True),
    (book_sheet_search, False),  # the writable side keeps the GIL: shows the probe discriminates
])
def test_other_threads_run_during_a_long_search(prepare, releases):
    # Every cell exhausts the engine, so each search takes a good fraction of a second.
    slow_cells = [cell(i + 1, 1, "a" * 30 + "b") for i in range(300)]
    finder = Finder([{"name": "Big", "sheet_state": "v", "merge_cells": [], "cells": slow_cells}])
    sheet = finder.sheets[0]
    search = prepare(sheet.cells, sheet)
    stop, started = threading.Event(), threading.Event()
    ticks = [0]

    def counter():
        started.set()
        while not stop.is_set():
            ticks[0] += 1
            time.sleep(0)  # hands the GIL back at once

    # No forced switches: the counter runs only while the GIL is given away.
    interval = sys.getswitchinterval()
    sys.setswitchinterval(100)
    t = threading.Thread(target=counter)
    try:
        t.start()
        started.wait()
        before = ticks[0]
        search()
        during = ticks[0] - before
    finally:
        stop.set()
        t.join()
        sys.setswitchinterval(interval)
    assert (during > 0) == releases


SLOW = "(a+)+$"


def test_threads_searching_at_once_agree():
    finder = Finder([{"name": "Big", "sheet_state": "v", "merge_cells": [], "cells": big_cells(20000)}])
    sheet = finder.sheets[0]
    expected = [(c.row, c.column) for c in sheet.find_cells_by_regex("^total$|item 1[0-9]{3}$")]
    results = []

    def work():
        for _ in range(5):
            results.append([(c.row, c.column) for c in sheet.find_cells_by_regex("^total$|item 1[0-9]{3}$")])

    threads = [threading.Thread(target=work) for _ in range(4)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    assert len(results) == 20 and all(res == expected for res in results)
