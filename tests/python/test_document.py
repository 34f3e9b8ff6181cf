"""The JSON document, cross-checked against Python's own json module."""

import datetime
import json
import math
import random

import pytest

from tabulon import Book

FRESH = ('{"name":"Data","sheet_state":"visible","merge_cells":[],"cells":[],'
         '"row_dimensions":{"default_height":20.0},"column_dimensions":{"default_width":22.5},"comments":[]}')


def one_cell(setup):
    book = Book()
    sheet = book.add_sheet("Data")
    cell = sheet.cell(1, 2)
    setup(cell)
    return json.loads(book.to_json())["sheets"][0]["cells"][0], book


def test_empty_book_and_fresh_sheet():
    book = Book()
    assert book.to_json() == '{"sheets":[]}' and book.to_dict() == {"sheets": []}
    book.add_sheet("Data")
    assert book.to_json() == '{"sheets":[' + FRESH + "]}"


@pytest.mark.parametrize(
    "setup, value",
    [
        (lambda c: None, None),
        (lambda c: setattr(c, "value", "text"), "text"),
        (lambda c: c.set_value_number(5.0), 5.0),
        (lambda c: setattr(c, "value", "5"), 5),
        (lambda c: setattr(c, "value", "nan"), None),
        (lambda c: setattr(c, "value", "-inf"), None),
        (lambda c: setattr(c, "value", "true"), True),
        (lambda c: c.set_value_datetime(datetime.datetime(2024, 3, 5, 7, 8, 9)), "2024-03-05T07:08:09"),
        (lambda c: c.set_value_datetime(datetime.datetime(2024, 3, 5, 7, 8, 9, 250000)), "2024-03-05T07:08:09.250"),
    ],
)
def test_values_by_kind(setup, value):
    cell, book = one_cell(setup)
    assert cell["value"] == value and type(cell["value"]) is type(value)
    assert list(cell) == ["row", "column", "value", "data_type"]
    assert book.to_dict() == json.loads(book.to_json())


def test_member_order_with_every_optional_member():
    def setup(c):
        c.value = "1"
        c.formula = "=A1"
        c.style = "bold"
        c.hidden_value = "h"

    cell, _ = one_cell(setup)
    assert list(cell.items()) == [("row", 1), ("column", 2), ("value", 1), ("formula", "=A1"),
                                  ("data_type", "f"), ("style_id", "bold"), ("hidden_value", "h")]


def test_numbers_use_the_float_rule():
    book = Book()
    sheet = book.add_sheet("N")
    values = [1e16, 0.00001, 0.000001, -0.0, 1e15, 12.34]
    for i, v in enumerate(values, 1):
        sheet.cell(i, 1).set_value_number(v)
    text = book.to_json()
    for written in ["1e+16", "0.00001", "1e-6", "-0.0", "1000000000000000.0", "12.34"]:
        assert f'"value":{written},' in text


def test_random_doubles_round_trip_with_pythons_digits():
    rng = random.Random(20261211)
    book = Book()
    sheet = book.add_sheet("R")
    numbers = [rng.choice([rng.uniform(-1e6, 1e6), rng.random() * 10.0 ** rng.randint(-320, 308),
                           struct_double(rng)]) for _ in range(3000)]
    numbers = [n for n in numbers if math.isfinite(n)]
    for i, n in enumerate(numbers, 1):
        sheet.cell(i, 1).set_value_number(n)
    cells = json.loads(book.to_json())["sheets"][0]["cells"]
    for n, cell in zip(numbers, cells):
        assert cell["value"] == n
        assert significant(repr(float(cell["value"]))) == significant(repr(n))


def struct_double(rng):
    import struct
    return struct.unpack("<d", rng.getrandbits(64).to_bytes(8, "little"))[0]


def significant(text):
    mantissa = text.lower().split("e")[0].lstrip("-").replace(".", "").strip("0")
    return mantissa


def test_strings_round_trip_and_escape_minimally():
    tricky = "".join(chr(c) for c in range(32)) + '"\\/\x7f\u2028 ünïcødé ✓ 𝄞'
    book = Book()
    sheet = book.add_sheet(tricky)
    sheet.cell(1, 1, tricky)
    sheet.add_comment(1, 1, tricky, tricky)
    text = book.to_json()
    doc = json.loads(text)["sheets"][0]
    assert doc["name"] == doc["cells"][0]["value"] == doc["comments"][0]["text"] == tricky
    assert '\\"' in text and "\\\\" in text and "\\n" in text and "\\u001f" in text and "\\b" in text
    assert '\\"\\\\/' in text and "\x7f" in text and "\u2028" in text and "ü" in text


@pytest.mark.parametrize("late_text", ["plain", "naïve ✓ 𝄞"])
def test_large_documents_come_out_whole(late_text):
    # Several hundred kilobytes: the output buffer grows many times; the non-ASCII text
    # arrives only after the document has grown.
    book = Book()
    sheet = book.add_sheet("Data")
    rows = 20000
    for r in range(1, rows + 1):
        sheet.cell(r, 1, f"row {r}")
    sheet.cell(rows + 1, 1, late_text)
    cells = ",".join(f'{{"row":{r},"column":1,"value":"row {r}","data_type":"s"}}' for r in range(1, rows + 1))
    cells += f',{{"row":{rows + 1},"column":1,"value":"{late_text}","data_type":"s"}}'
    expected = FRESH.replace('"cells":[]', f'"cells":[{cells}]')
    text = book.to_json()
    assert text == '{"sheets":[' + expected + "]}"
    assert text.isascii() == late_text.isascii() and len(text) == len(expected) + 13
    assert book.to_json() == text and hash(text) == hash(book.to_json())


def test_cells_sorted_and_dimensions_present():
    book = Book()
    sheet = book.add_sheet("S")
    for r, c in [(2, 1), (1, 3), (1, 2)]:
        sheet.cell(r, c)
    sheet.set_hidden_row(3, True)
    sheet.set_width_column(2, 10.0)
    doc = book.to_dict()["sheets"][0]
    assert [(c["row"], c["column"]) for c in doc["cells"]] == [(1, 2), (1, 3), (2, 1)]
    assert doc["row_dimensions"] == {
        "rows": {"3": {"row_num": 3, "height": 20.0, "hidden": True, "collapsed": False, "level": 0}},
        "default_height": 20.0}
    assert list(doc["column_dimensions"]) == ["columns", "default_width"]
    assert doc["column_dimensions"]["columns"]["2"]["width"] == 10.0


def test_copies_share_records_but_not_lists():
    book = Book()
    src = book.add_sheet("Src")
    src.cell(1, 1, "a")
    src.add_comment(1, 1, "t", "x")
    copy = book.copy_sheet(src)
    src.cell(1, 1).value = "b"
    copy.comments[0].author = "y"
    copy.cell(2, 2, "only copy")
    copy.add_merge_cells(1, 1, 1, 1)
    copy.set_height_row(1, 5.0)
    src_doc, copy_doc = book.to_dict()["sheets"]
    assert src_doc["cells"] == [{"row": 1, "column": 1, "value": "b", "data_type": "s"}]
    assert copy_doc["cells"][0]["value"] == "b" and len(copy_doc["cells"]) == 2
    assert src_doc["comments"][0]["author"] == copy_doc["comments"][0]["author"] == "y"
    assert src_doc["merge_cells"] == [] and "rows" not in src_doc["row_dimensions"]


def test_failed_calls_leave_the_document_unchanged():
    book = Book()
    sheet = book.add_sheet("S")
    sheet.cell(1, 1, "x")
    before = book.to_json()
    for call in [lambda: sheet.cell(1, 70000, "y"), lambda: sheet.cell(1, 1, 3),
                 lambda: sheet.add_comment(1, 1, "t", 5), lambda: book.add_sheet(5),
                 lambda: sheet.set_width_column(1, "w"), lambda: book.copy_sheet(None)]:
        with pytest.raises((TypeError, OverflowError)):
            call()
    assert book.to_json() == before


def test_to_dict_calls_json_loads_each_time(monkeypatch):
    calls = []
    monkeypatch.setattr(json, "loads", lambda text: calls.append(text) or "patched")
    book = Book()
    assert book.to_dict() == "patched" and calls == ['{"sheets":[]}']


def test_to_dict_propagates_loads_errors(monkeypatch):
    def broken(text):
        raise ValueError("nope")

    monkeypatch.setattr(json, "loads", broken)
    with pytest.raises(ValueError, match="nope"):
        Book().to_dict()


@pytest.mark.parametrize("method", ["to_json", "to_dict"])
def test_no_argument_methods(method):
    with pytest.raises(TypeError):
        getattr(Book(), method)(1)
