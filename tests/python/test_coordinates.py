"""Column letters both ways and the two module functions."""

import pytest

from tabulon import column_number_to_letter, get_letter_coordinate


def reference_letters(n):
    """Bijective base 26, written independently of the extension."""
    letters = ""
    while n:
        n, rem = divmod(n - 1, 26)
        letters = chr(ord("A") + rem) + letters
    return letters


def test_every_column_against_reference():
    for col in range(65536):
        assert column_number_to_letter(col) == reference_letters(col)


@pytest.mark.parametrize(
    "col, letters",
    [(0, ""), (1, "A"), (26, "Z"), (27, "AA"), (52, "AZ"), (53, "BA"), (702, "ZZ"),
     (703, "AAA"), (16384, "XFD"), (18278, "ZZZ"), (18279, "AAAA"), (65535, "CRXO")],
)
def test_known_letters(col, letters):
    assert column_number_to_letter(col) == letters
    assert column_number_to_letter(col=col) == letters


@pytest.mark.parametrize(
    "row, col, text",
    [(1, 1, "A1"), (10, 28, "AB10"), (7, 0, "7"), (0, 1, "A0"),
     (4294967295, 16384, "XFD4294967295"), (4294967295, 65535, "CRXO4294967295")],
)
def test_get_letter_coordinate(row, col, text):
    assert get_letter_coordinate(row, col) == text
    assert get_letter_coordinate(col=col, row=row) == text


class Index:
    def __index__(self):
        return 28


def test_integer_conversion_accepts_index_and_bool():
    assert column_number_to_letter(Index()) == "AB"
    assert column_number_to_letter(True) == "A"


@pytest.mark.parametrize(
    "call, error",
    [
        (lambda: column_number_to_letter(65536), OverflowError),
        (lambda: column_number_to_letter(-1), OverflowError),
        (lambda: column_number_to_letter(2**70), OverflowError),
        (lambda: column_number_to_letter(1.0), TypeError),
        (lambda: column_number_to_letter("A"), TypeError),
        (lambda: column_number_to_letter(None), TypeError),
        (lambda: column_number_to_letter(), TypeError),
        (lambda: column_number_to_letter(1, 2), TypeError),
        (lambda: column_number_to_letter(1, col=1), TypeError),
        (lambda: column_number_to_letter(column=1), TypeError),
        (lambda: get_letter_coordinate(-1, 1), OverflowError),
        (lambda: get_letter_coordinate(4294967296, 1), OverflowError),
        (lambda: get_letter_coordinate(1, 65536), OverflowError),
        (lambda: get_letter_coordinate(1), TypeError),
        (lambda: get_letter_coordinate("1", 1), TypeError),
    ],
)
def test_argument_errors(call, error):
    with pytest.raises(error):
        call()


def test_errors_name_the_parameter():
    with pytest.raises(TypeError, match="'col'"):
        get_letter_coordinate(1, "x")
    with pytest.raises(OverflowError, match="'row'"):
        get_letter_coordinate(-1, "x")  # converted in signature order: row first
    with pytest.raises(TypeError, match="missing required argument 'col'"):
        get_letter_coordinate(row=1)
    with pytest.raises(TypeError, match="given by name"):
        get_letter_coordinate(1, 2, row=1)
