import pytest

from tabulon import Book


@pytest.fixture
def sheet():
    return Book().add_sheet("Data")


def coords(cells):
    return [(c.row, c.column) for c in cells]
