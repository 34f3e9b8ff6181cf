"""Sheet searches: text, pattern, reference, bands, sections, bounded patterns."""

import os
import random
import re
import sys
import time

import pytest

from conftest import coords
from tabulon import Book

WHITE = "\t\n\x0b\x0c\r \x85\xa0\u1680\u2000\u200a\u2028\u2029\u202f\u205f\u3000"


@pytest.fixture
def sections():
    sheet = Book().add_sheet("S")
    for row, text in enumerate(["Start", "a", "End", "b", "START", "c"], 1):
        sheet.cell(row, 1, text)
    return sheet


def rows(cells):
    return [c.row for c in cells]


class TestText:
    def test_trimmed_exact_match(self, sheet):
        sheet.cell(1, 1, "5")
        sheet.cell(2, 1, f"{WHITE}Total{WHITE}")
        sheet.cell(3, 1, "in ner")
        assert sheet.find_cell_by_str(" 5 ").row == 1
        assert sheet.find_cell_by_str("5.0") is None
        assert sheet.find_cell_by_str("Total").row == 2
        assert sheet.find_cell_by_str("total") is None
        assert sheet.find_cell_by_str("in ner").row == 3 and sheet.find_cell_by_str("inner") is None
        assert sheet.find_cell_by_str("\u200b5") is None  # zero-width space is not White_Space

    def test_empty_and_blank_find_empty_cells(self, sheet):
        sheet.cell(4, 4)
        assert sheet.find_cell_by_str("").row == 4 and sheet.find_cell_by_str("   ").row == 4

    def test_all_matches_in_row_major_order(self, sheet):
        sheet.cell(3, 2, "Total")
        sheet.cell(1, 4, "Total")
        assert coords(sheet.find_cells_by_str("Total")) == [(1, 4), (3, 2)]


class TestPattern:
    def test_case_insensitive_unanchored(self, sheet):
        sheet.cell(1, 1, "Grand TOTAL")
        sheet.cell(2, 1, "5")
        sheet.cell(3, 1, "15")
        assert rows(sheet.find_cells_by_regex("total")) == [1]
        assert rows(sheet.find_cells_by_regex("^5$")) == [2]
        assert sheet.find_cell_by_regex("ÉTÉ") is None
        sheet.cell(4, 1, "été")
        assert sheet.find_cell_by_regex("ÉTÉ").row == 4

    @pytest.mark.parametrize(
        "pattern, hits",
        [
            (r"foo(?=bar)", [1]),
            (r"(?<=foo)bar", [1]),
            (r"^(\w)\1$", [2]),
            (r"(?-i)Foo", [3]),
            (r"^\d+$", [4]),
        ],
    )
    def test_perl_syntax(self, sheet, pattern, hits):
        for row, text in enumerate(["foobar", "aa", "Foo", "123"], 1):
            sheet.cell(row, 1, text)
        assert rows(sheet.find_cells_by_regex(pattern)) == hits

    def test_typed_values_match_on_their_text_form(self, sheet):
        sheet.cell(1, 1, "5.0")
        sheet.cell(2, 1, "TRUE")
        sheet.cell(3, 1, "2024-03-01 08:00:00")
        assert rows(sheet.find_cells_by_regex("^5$")) == [1]
        assert rows(sheet.find_cells_by_regex("^true$")) == [2]
        assert rows(sheet.find_cells_by_regex("03-01 08")) == [3]

    @pytest.mark.parametrize("method", ["find_cell_by_regex", "find_cells_by_regex"])
    def test_compile_error_even_without_cells(self, sheet, method):
        with pytest.raises(RuntimeError, match=r"missing closing parenthesis at position 5"):
            getattr(sheet, method)("(")

    def test_error_position_counts_characters(self, sheet):
        with pytest.raises(RuntimeError, match=r"position 8\b"):
            sheet.find_cells_by_regex("ééé(")

    def test_engine_exhaustion_is_a_miss(self, sheet):
        sheet.cell(1, 1, "a" * 30 + "b")
        sheet.cell(2, 1, "aaa")
        start = time.monotonic()
        assert rows(sheet.find_cells_by_regex("(a+)+$")) == [2]
        assert time.monotonic() - start < 5


class TestReference:
    @pytest.mark.parametrize("letter", ["b3", "B3", "$B$3", "B3:C9", "b$3"])
    def test_references(self, sheet, letter):
        sheet.cell(3, 2, "x")
        assert sheet.find_cell_by_letter(letter).value == "x"

    def test_sharp_s_reads_as_ss(self, sheet):
        sheet.cell(1, 513, "ss")
        assert sheet.find_cell_by_letter("ß1").value == "ss"

    @pytest.mark.parametrize("letter", ["", "A", "7", " A1", "A4294967296", "ABCD1"])
    def test_bad_references_raise_value_error(self, sheet, letter):
        sheet.cell(1, 1, "x")
        with pytest.raises(ValueError):
            sheet.find_cell_by_letter(letter)
        assert len(sheet.cells) == 1

    def test_value_by_coords(self, sheet):
        sheet.cell(1, 1)
        assert sheet.find_value_by_coords(1, 1) == "" and sheet.find_value_by_coords(2, 2) is None
        sheet.cell(2, 2, "12.50")
        assert sheet.find_value_by_coords(row=2, col=2) == "12.5"


class TestBands:
    def test_rows_and_columns(self, sheet):
        for r, c in [(2, 3), (2, 1), (1, 2), (3, 2), (0, 0)]:
            sheet.cell(r, c)
        assert coords(sheet.find_cells_range_rows(2, 2)) == [(2, 1), (2, 3)]
        assert coords(sheet.find_cells_range_cols(2, 3)) == [(1, 2), (2, 3), (3, 2)]
        assert sheet.find_cells_range_cols(5, 3) == []
        assert coords(sheet.find_cells_range_rows(0, 4294967295)) == coords(sheet.cells)


class TestSections:
    def test_multi(self, sections):
        assert rows(sections.find_cells_multi_regex("^start$", "^end$")) == [1, 3, 5]

    @pytest.mark.parametrize(
        "before, after, expected",
        [
            ("^start$", "^end$", [1, 2, 3]),
            ("^start$", "^nothing$", [1, 2, 3, 4, 5, 6]),
            ("^nothing$", "^end$", []),
            ("^a$", "^.$", [2, 3, 4]),  # 'a' opens, 'End' does not match '^.$', 'b' closes
        ],
    )
    def test_between(self, sections, before, after, expected):
        assert rows(sections.find_cells_between_regex(before, after)) == expected

    def test_band_takes_whole_rows(self, sections):
        sections.cell(2, 5, "other column")
        assert coords(sections.find_cells_between_regex("^start$", "^end$")) == [(1, 1), (2, 1), (2, 5), (3, 1)]

    def test_a_cell_matching_both_closes_an_open_section(self, sheet):
        for row, text in enumerate(["open", "x", "open close"], 1):
            sheet.cell(row, 1, text)
        assert rows(sheet.find_cells_multi_regex("open", "close")) == [1, 3]

    def test_first_pattern_error_wins(self, sections):
        with pytest.raises(RuntimeError, match="closing parenthesis"):
            sections.find_cells_multi_regex("(", "[")
        with pytest.raises(RuntimeError, match=r"terminating \]"):
            sections.find_cells_multi_regex("x", "[")

    def test_bounded_patterns(self, sections):
        assert rows(sections.find_cells_for_cols_by_regex("^start$", 1)) == [1]
        assert sections.find_cells_for_cols_by_regex("^start$", 0) == []
        assert rows(sections.find_cells_for_cols_by_regex("^start$", 4294967295)) == [1, 5]
        assert sections.find_cells_for_rows_by_regex(".", 0) == []
        assert len(sections.find_cells_for_rows_by_regex(".", 1)) == 6


def test_results_alias_the_sheet(sheet):
    sheet.cell(1, 1, "x")
    sheet.find_cell_by_str("x").value = "y"
    assert sheet.get_value_cell(1, 1) == "y"


@pytest.mark.parametrize(
    "call, error",
    [
        (lambda s: s.find_cells_by_regex(None), TypeError),
        (lambda s: s.find_cell_by_str(5), TypeError),
        (lambda s: s.find_cell_by_letter(b"A1"), TypeError),
        (lambda s: s.find_value_by_coords(-1, 1), OverflowError),
        (lambda s: s.find_value_by_coords(1, 70000), OverflowError),
        (lambda s: s.find_cells_range_rows(1), TypeError),
        (lambda s: s.find_cells_for_cols_by_regex("x", -1), OverflowError),
        (lambda s: s.find_cells_for_rows_by_regex("x", "1"), TypeError),
        (lambda s: s.find_cells_multi_regex("x"), TypeError),
        (lambda s: s.find_cells_by_regex(regex="x", cells=[]), TypeError),
        (lambda s: s.find_cells_by_regex("\ud800"), UnicodeEncodeError),
    ],
)
def test_argument_errors(sheet, call, error):
    with pytest.raises(error):
        call(sheet)


@pytest.fixture(scope="module")
def big():
    """A sheet large enough that the pool splits the work, built out of order."""
    rng = random.Random(11)
    book = Book()
    sheet = book.add_sheet("Big")
    keys = [(r, c) for r in range(1, 301) for c in range(1, 101)]
    rng.shuffle(keys)
    texts = {}
    for r, c in keys:
        text = rng.choice(["item %d" % rng.randint(0, 999), str(rng.randint(-50, 50)), "Total", "", "12.5"])
        sheet.cell(r, c, text)
        texts[(r, c)] = sheet.get_value_cell(r, c)
    return sheet, sorted(texts.items())


def test_order_rules_on_a_large_sheet(big):
    sheet, oracle = big
    rx = re.compile("item 1[0-9]$|^-?4", re.I)
    assert coords(sheet.find_cells_by_regex("item 1[0-9]$|^-?4")) == [k for k, v in oracle if rx.search(v)]
    assert coords(sheet.find_cells_by_str(" Total ")) == [k for k, v in oracle if v == "Total"]
    first = sheet.find_cell_by_regex("^item 99")
    assert (first.row, first.column) == next(k for k, v in oracle if v.startswith("item 99"))
    assert coords(sheet.find_cells_range_cols(10, 12)) == [k for k, _ in oracle if 10 <= k[1] <= 12]
    assert coords(sheet.find_cells_for_cols_by_regex("^total$", 150)) == [
        k for k, v in oracle if k[0] <= 150 and v == "Total"]
    assert coords(sheet.get_cells_by_range(5, 250, 20, 80)) == [
        k for k, _ in oracle if 5 <= k[0] <= 250 and 20 <= k[1] <= 80]


@pytest.mark.skipif(not hasattr(os, "fork"), reason="needs fork")
def test_searches_after_fork(big):
    sheet, oracle = big
    expected = len([v for _, v in oracle if v == "Total"])
    assert len(sheet.find_cells_by_regex("^total$")) == expected  # the parent's pool is up
    pid = os.fork()
    if pid == 0:
        ok = len(sheet.find_cells_by_regex("^total$")) == expected and sheet.find_cell_by_str("Total") is not None
        os._exit(0 if ok else 1)
    deadline = time.monotonic() + 60
    while time.monotonic() < deadline:
        done, status = os.waitpid(pid, os.WNOHANG)
        if done:
            assert os.waitstatus_to_exitcode(status) == 0
            return
        time.sleep(0.05)
    os.kill(pid, 9)
    pytest.fail("the forked child hung")
