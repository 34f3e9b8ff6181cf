"""The native module: the spreadsheet model, its JSON document and the sheet searches."""

import datetime
from typing import Any, Final, NoReturn, SupportsFloat, SupportsIndex, final

from typing_extensions import disjoint_base

from tabulon import readable as readable

__all__ = [
    "__version__",
    "Service",
    "Book",
    "Sheet",
    "Cell",
    "Comment",
    "version",
    "column_number_to_letter",
    "get_letter_coordinate",
    "DEFAULT_ROW_HEIGHT",
    "DEFAULT_COLUMN_WIDTH",
    "readable",
]

__version__: Final[str]
"""The package version, e.g. ``"0.12.3"``."""

DEFAULT_ROW_HEIGHT: Final[float]
"""Height of a row that has no height of its own (20.0)."""

DEFAULT_COLUMN_WIDTH: Final[float]
"""Width of a column that has no width of its own (22.5)."""

def version() -> str:
    """Return the version of the native module (the same text as ``__version__``)."""

def column_number_to_letter(col: SupportsIndex) -> str:
    """Return the column letters of a column number: 1 → ``"A"``, 28 → ``"AB"``, 0 → ``""``.

    ``col`` is 0..65535; outside that range OverflowError, a non-integer TypeError.
    """

def get_letter_coordinate(row: SupportsIndex, col: SupportsIndex) -> str:
    """Return the A1 reference of a coordinate: ``(10, 28)`` → ``"AB10"``.

    ``row`` is 0..4294967295 and ``col`` 0..65535 (OverflowError outside).
    Column 0 has no letters: ``(7, 0)`` → ``"7"``.
    """

@final
class Comment:
    """A live handle on one comment of a sheet; writes reach the sheet's document."""

    @property
    def author(self) -> str:
        """Who wrote the comment (writable)."""
    @author.setter
    def author(self, value: str) -> None: ...
    @property
    def text(self) -> str:
        """The comment text (writable)."""
    @text.setter
    def text(self, value: str) -> None: ...
    @property
    def coordinate(self) -> tuple[int, int]:
        """``(row, column)`` of the commented cell."""
    @property
    def row(self) -> int:
        """Row of the commented cell."""
    @property
    def column(self) -> int:
        """Column of the commented cell."""

@final
class Cell:
    """A live handle on one cell record of a sheet.

    Handles are not unique: two handles on one record compare unequal but see each
    other's writes. ``value`` holds the text form of the value; writing text types it
    (``"5"`` integer, ``"5.0"`` number shown ``"5"``, ``"true"`` bool, ``""`` empty,
    ``"2024-03-01 08:00:00"`` date-time, anything else text).
    """

    @property
    def row(self) -> int:
        """Row number (1 is the first row)."""
    @property
    def column(self) -> int:
        """Column number (1 is column A)."""
    @property
    def letter(self) -> str:
        """A1 reference of the cell, e.g. ``"C7"``."""
    @property
    def value(self) -> str:
        """Text form of the value. Writing text types it and clears the formula."""
    @value.setter
    def value(self, value: str) -> None: ...
    @property
    def formula(self) -> str | None:
        """The formula, or None. Writing one keeps the value as its cached result
        (write the value first, then the formula)."""
    @formula.setter
    def formula(self, value: str) -> None: ...
    @property
    def style(self) -> str | None:
        """Style name (``style_id`` in the document), or None."""
    @style.setter
    def style(self, value: str) -> None: ...
    @property
    def data_type(self) -> str:
        """Type code: ``"n"`` number, ``"s"`` text, ``"b"`` bool, ``"d"`` date-time, ``"f"`` formula."""
    @property
    def hidden_value(self) -> str | None:
        """A value kept beside the shown one (writable), or None."""
    @hidden_value.setter
    def hidden_value(self, value: str) -> None: ...
    @property
    def is_formula(self) -> bool:
        """True when the cell holds a formula."""
    @property
    def is_value_empty(self) -> bool:
        """True when the value is empty text."""
    @property
    def is_value_bool(self) -> bool:
        """True for a bool value."""
    @property
    def is_value_numeric(self) -> bool:
        """True for a number that is not a 32-bit integer (``"5.0"``, ``"0.1"``, ``"nan"``)."""
    @property
    def is_value_integer(self) -> bool:
        """True for a value that is a 32-bit integer (``"5"``, ``"-7"``)."""
    @property
    def is_value_datetime(self) -> bool:
        """True for a date-time value."""
    def set_value_number(self, value: SupportsFloat | SupportsIndex) -> None:
        """Store a number (anything with ``__float__``) and clear the formula."""
    def set_value_integer(self, value: SupportsIndex) -> None:
        """Store a 32-bit integer (OverflowError outside) and clear the formula."""
    def set_value_bool(self, value: bool) -> None:
        """Store a bool (only True or False) and clear the formula."""
    def set_value_datetime(self, value: datetime.datetime) -> None:
        """Store a naive date-time (an aware one is a TypeError) and clear the formula."""

@final
class Sheet:
    """A live handle on one sheet of a book: cells, dimensions, merged ranges, comments, searches.

    Row numbers are 0..4294967295, column numbers 0..65535; a number outside is an
    OverflowError, a non-integer a TypeError, and a failed call changes nothing.
    """

    @property
    def name(self) -> str:
        """Sheet name (writable; every handle sees the new name)."""
    @name.setter
    def name(self, value: str) -> None: ...
    @property
    def sheet_state(self) -> str:
        """``"visible"``, ``"hidden"`` or whatever text was set with set_sheet_state."""
    @property
    def max_row(self) -> int:
        """Highest row that holds a cell (0 for an empty sheet)."""
    @property
    def max_column(self) -> int:
        """Highest column that holds a cell (0 for an empty sheet)."""
    @property
    def cells(self) -> list[Cell]:
        """Every cell, in row-major order."""
    @property
    def merge_cells(self) -> list[tuple[int, int, int, int]]:
        """Merged ranges as ``(start_row, end_row, start_col, end_col)``, in the order added."""
    @property
    def comments(self) -> list[Comment]:
        """Comments, in the order added."""
    def set_sheet_state(self, state: str) -> None:
        """Set the state text (``"visible"``, ``"hidden"``, ...)."""
    def add_merge_cells(self, start_row: int, end_row: int, start_col: int, end_col: int) -> None:
        """Record a merged range."""
    def add_comment(self, row: int, col: int, text: str, author: str) -> None:
        """Add a comment on a cell."""
    def cell(self, row: int, col: int, value: str | None = None) -> Cell:
        """Return the cell at ``(row, col)``, creating it; with ``value``, write that text first."""
    def get_value_cell(self, row: int, col: int) -> str:
        """Text form of the value at ``(row, col)``; ``""`` when there is no cell."""
    def delete_cols(self, idx: int, amount: int) -> None:
        """Delete ``amount`` columns from ``idx`` on; cells to the right move left."""
    def delete_rows(self, idx: int, amount: int) -> None:
        """Delete ``amount`` rows from ``idx`` on; cells below move up."""
    def set_height_row(self, row_num: int, val: float) -> None:
        """Set the height of a row."""
    def set_hidden_row(self, row_num: int, val: bool) -> None:
        """Hide or show a row."""
    def set_width_column(self, col_num: int, val: float) -> None:
        """Set the width of a column."""
    def set_hidden_column(self, col_num: int, val: bool) -> None:
        """Hide or show a column."""
    def get_cells_by_range(
        self,
        start_row: int | None = None,
        end_row: int | None = None,
        start_col: int | None = None,
        end_col: int | None = None,
    ) -> list[Cell]:
        """Cells inside the rectangle, row-major; missing bounds are rows 1..1048576, columns 1..16384."""
    def get_height_by_row(self, row_num: int) -> float:
        """Height of a row (DEFAULT_ROW_HEIGHT when none was set)."""
    def get_hidden_by_row(self, row_num: int) -> bool:
        """Whether a row is hidden."""
    def get_width_by_column(self, col_num: int) -> float:
        """Width of a column (DEFAULT_COLUMN_WIDTH when none was set)."""
    def get_hidden_by_column(self, col_num: int) -> bool:
        """Whether a column is hidden."""
    def find_cell_by_regex(self, regex: str) -> Cell | None:
        """First cell (row-major) whose value matches the case-insensitive pattern.

        RuntimeError when the pattern does not compile.
        """
    def find_cell_by_str(self, value: str) -> Cell | None:
        """First cell (row-major) whose value equals ``value``, both trimmed of white space (case-sensitive)."""
    def find_cell_by_letter(self, letter: str) -> Cell | None:
        """The cell at an A1 reference (``"B3"``, ``"$B$3"``, ``"B3:C9"``), or None.

        ValueError when the reference does not parse.
        """
    def find_cells_by_regex(self, regex: str) -> list[Cell]:
        """Every cell whose value matches the case-insensitive pattern, row-major."""
    def find_cells_by_str(self, value: str) -> list[Cell]:
        """Every cell whose value equals ``value``, both trimmed of white space (case-sensitive)."""
    def find_cells_for_rows_by_regex(self, regex: str, col_stop: int) -> list[Cell]:
        """Matching cells in columns up to ``col_stop``."""
    def find_cells_for_cols_by_regex(self, regex: str, row_stop: int) -> list[Cell]:
        """Matching cells in rows up to ``row_stop``."""
    def find_cells_multi_regex(self, before_regex: str, after_regex: str) -> list[Cell]:
        """The cells that open (``before_regex``) and close (``after_regex``) sections, in order."""
    def find_cells_between_regex(self, before_regex: str, after_regex: str) -> list[Cell]:
        """Cells of the whole rows from the first ``before_regex`` match to the next ``after_regex``
        match (to the end when nothing closes)."""
    def find_cells_range_rows(self, start_row: int, end_row: int) -> list[Cell]:
        """Cells in rows ``start_row..end_row``."""
    def find_cells_range_cols(self, start_col: int, end_col: int) -> list[Cell]:
        """Cells in columns ``start_col..end_col``."""
    def find_value_by_coords(self, row: int, col: int) -> str | None:
        """Text form of the value at ``(row, col)``, or None when there is no cell."""

@final
class Book:
    """A book of sheets: the root of the document."""

    def __init__(self) -> None:
        """An empty book."""
    @property
    def sheets(self) -> list[Sheet]:
        """The sheets, in order (new handles each time)."""
    def add_sheet(self, name: str, sheet_state: str = "visible") -> Sheet:
        """Append a sheet; names need not be unique."""
    def copy_sheet(self, sheet: Sheet) -> Sheet:
        """Append a copy of a sheet (of this or another book) named ``"Sheet N"``.

        The copy shares cell and comment records with the source but owns its cell map,
        merged ranges, comment list and dimensions.
        """
    def get_sheet_index(self, idx: int) -> Sheet | None:
        """The sheet at position ``idx``, or None."""
    def get_sheet_name(self, name: str) -> Sheet | None:
        """The first sheet with exactly this name, or None."""
    def to_json(self) -> str:
        """The whole book as one JSON document."""
    def to_dict(self) -> dict[str, Any]:
        """The document of to_json, parsed with ``json.loads``."""

@disjoint_base
class Service:
    """Base class for report services: holds a connection object and a book of its own.

    Subclasses implement the hooks ``summary_0`` and ``_fmt_0``; the base raises
    NotImplementedError.
    """

    def __new__(cls, conn_db: Any) -> Service:
        """A service on the connection ``conn_db`` (any object, kept as ``_conn_db``)."""
    @property
    def _conn_db(self) -> Any:
        """The connection object given to the constructor."""
    @property
    def _sheets(self) -> list[Sheet]:
        """The sheets of the service's book."""
    def summary_0(self, sheets: list[Any], /, **kwargs: Any) -> NoReturn:
        """Hook: build the summary from ``sheets``. The base raises NotImplementedError."""
    def _fmt_0(self, **kwargs: Any) -> NoReturn:
        """Hook: formatting. The base raises NotImplementedError."""
    def _add_sheet(self, name: str, sheet_state: str = "visible") -> Sheet:
        """Book.add_sheet on the service's book."""
    def _copy_sheet(self, sheet: Sheet) -> Sheet:
        """Book.copy_sheet on the service's book."""
    def _get_sheet_index(self, idx: int) -> Sheet | None:
        """Book.get_sheet_index on the service's book."""
    def _get_sheet_name(self, name: str) -> Sheet | None:
        """Book.get_sheet_name on the service's book."""
    def to_json(self) -> str:
        """The service's book as one JSON document."""
    def to_dict(self) -> dict[str, Any]:
        """The document of to_json, parsed with ``json.loads``."""
