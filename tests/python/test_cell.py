"""Cell values, their text forms and type codes, formulas, styles, and the typed setters."""

import datetime

import pytest

KINDS = ["is_value_empty", "is_value_bool", "is_value_numeric", "is_value_integer", "is_value_datetime"]


@pytest.mark.parametrize(
    "text, value, data_type, kind",
    [
        ("5", "5", "n", "is_value_integer"),
        ("5.0", "5", "n", "is_value_numeric"),
        ("2147483648", "2147483648", "n", "is_value_numeric"),
        ("-2147483648", "-2147483648", "n", "is_value_integer"),
        ("007", "7", "n", "is_value_integer"),
        ("True", "true", "b", "is_value_bool"),
        ("fAlSe", "false", "b", "is_value_bool"),
        ("falſe", "false", "b", "is_value_bool"),  # long s upper-cases to S
        ("yes", "yes", "s", None),
        (" TRUE", " TRUE", "s", None),
        ("", "", "s", "is_value_empty"),
        (" ", " ", "s", None),
        ("1e3", "1000", "n", "is_value_numeric"),
        ("nan", "NaN", "n", "is_value_numeric"),
        ("-inf", "-inf", "n", "is_value_numeric"),
        ("1e400", "inf", "n", "is_value_numeric"),
        ("1e-400", "0", "n", "is_value_numeric"),
        ("0.1", "0.1", "n", "is_value_numeric"),
        ("1e21", "1000000000000000000000", "n", "is_value_numeric"),
        ("2024-01-31 13:45:00", "2024-01-31 13:45:00", "d", "is_value_datetime"),
        ("2024-01-31T13:45:00", "2024-01-31T13:45:00", "s", None),
        ("2024-01-31", "2024-01-31", "s", None),
        ("2024-01-02 03:04:05.500", "2024-01-02 03:04:05.500", "s", None),
        ("straße 12 ünd ℃", "straße 12 ünd ℃", "s", None),
    ],
)
def test_value_setter_types_the_text(sheet, text, value, data_type, kind):
    cell = sheet.cell(1, 1)
    cell.value = text
    assert (cell.value, cell.data_type) == (value, data_type)
    assert [getattr(cell, k) for k in KINDS] == [k == kind for k in KINDS]
    assert sheet.cell(2, 2, text).value == value  # Sheet.cell converts the same way


def test_formula_keeps_value_until_the_next_value_write(sheet):
    cell = sheet.cell(1, 1, "7")
    cell.formula = "=A1+1"
    assert (cell.value, cell.data_type, cell.formula, cell.is_formula) == ("7", "f", "=A1+1", True)
    cell.value = "8"
    assert (cell.value, cell.data_type, cell.formula, cell.is_formula) == ("8", "n", None, False)


def test_style_and_hidden_value_are_independent(sheet):
    cell = sheet.cell(1, 1, "x")
    assert cell.style is None and cell.hidden_value is None
    cell.style = "bold"
    cell.hidden_value = "secret"
    cell.value = "y"
    assert (cell.style, cell.hidden_value, cell.data_type) == ("bold", "secret", "s")


@pytest.mark.parametrize(
    "method, arg, value, data_type, kind",
    [
        ("set_value_number", 3, "3", "n", "is_value_numeric"),
        ("set_value_number", 2.5, "2.5", "n", "is_value_numeric"),
        ("set_value_integer", -7, "-7", "n", "is_value_integer"),
        ("set_value_integer", True, "1", "n", "is_value_integer"),
        ("set_value_bool", False, "false", "b", "is_value_bool"),
        ("set_value_datetime", datetime.datetime(2024, 1, 2, 3, 4, 5, 500000), "2024-01-02 03:04:05.500", "d",
         "is_value_datetime"),
        ("set_value_datetime", datetime.datetime(2024, 1, 2, 3, 4, 5, 123456), "2024-01-02 03:04:05.123456", "d",
         "is_value_datetime"),
        ("set_value_datetime", datetime.datetime(2024, 1, 2, 3, 4, 5), "2024-01-02 03:04:05", "d",
         "is_value_datetime"),
    ],
)
def test_typed_setters(sheet, method, arg, value, data_type, kind):
    cell = sheet.cell(1, 1)
    cell.formula = "=B2"
    getattr(cell, method)(arg)
    assert (cell.value, cell.data_type, cell.formula) == (value, data_type, None)
    assert [getattr(cell, k) for k in KINDS] == [k == kind for k in KINDS]
    getattr(cell, method)(value=arg)  # keyword form


class FloatLike:
    def __float__(self):
        return 1.25


def test_number_setter_takes_the_float_protocol(sheet):
    cell = sheet.cell(1, 1)
    cell.set_value_number(FloatLike())
    assert cell.value == "1.25"


def test_text_form_of_a_datetime_reads_back_as_text(sheet):
    cell = sheet.cell(1, 1)
    cell.set_value_datetime(datetime.datetime(2024, 1, 2, 3, 4, 5, 500000))
    cell.value = cell.value
    assert (cell.data_type, cell.is_value_datetime) == ("s", False)


def test_letter_and_repr(sheet):
    assert sheet.cell(7, 3).letter == "C7"
    assert repr(sheet.cell(7, 3)) == "Cell, Coords: Coordinate { row: 7, column: 3 }"
    assert sheet.cell(5, 0).letter == "5"


def test_handles_alias_one_record_without_equality(sheet):
    a, b = sheet.cell(1, 1), sheet.cell(1, 1)
    a.value = "42"
    assert b.value == "42" and len(sheet.cells) == 1
    assert a != b and not (a == b)
    with pytest.raises(TypeError):
        hash_or_order = a < b  # noqa: F841


def snapshot(cell):
    return (cell.value, cell.data_type, cell.formula, cell.style, cell.hidden_value)


UTC = datetime.timezone.utc


@pytest.mark.parametrize(
    "action, error",
    [
        (lambda c: setattr(c, "value", None), TypeError),
        (lambda c: setattr(c, "value", 5), TypeError),
        (lambda c: setattr(c, "value", "\ud800"), UnicodeEncodeError),
        (lambda c: setattr(c, "formula", None), TypeError),
        (lambda c: setattr(c, "style", None), TypeError),
        (lambda c: setattr(c, "hidden_value", b"x"), TypeError),
        (lambda c: delattr(c, "value"), AttributeError),
        (lambda c: delattr(c, "style"), AttributeError),
        (lambda c: delattr(c, "formula"), AttributeError),
        (lambda c: setattr(c, "row", 3), AttributeError),
        (lambda c: setattr(c, "data_type", "n"), AttributeError),
        (lambda c: c.set_value_integer(2**31), OverflowError),
        (lambda c: c.set_value_integer(-(2**31) - 1), OverflowError),
        (lambda c: c.set_value_integer(2.5), TypeError),
        (lambda c: c.set_value_bool(1), TypeError),
        (lambda c: c.set_value_number("1"), TypeError),
        (lambda c: c.set_value_number(10**400), OverflowError),
        (lambda c: c.set_value_datetime(datetime.date(2024, 1, 2)), TypeError),
        (lambda c: c.set_value_datetime(datetime.datetime(2024, 1, 2, tzinfo=UTC)), TypeError),
        (lambda c: c.set_value_number(), TypeError),
        (lambda c: c.set_value_number(1, 2), TypeError),
        (lambda c: c.set_value_number(val=1), TypeError),
    ],
)
def test_bad_writes_change_nothing(sheet, action, error):
    cell = sheet.cell(1, 1, "7")
    cell.formula = "=A2"
    cell.style = "s1"
    before = snapshot(cell)
    with pytest.raises(error):
        action(cell)
    assert snapshot(cell) == before
    assert len(sheet.cells) == 1
