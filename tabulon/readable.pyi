"""The read-only side: searches over cells that need not come from a Book.

Input cells are dicts (keys) or any objects (attributes) with the fields ``row``,
``column``, ``value``, ``formula``, ``data_type`` and ``style_id``, or ReadableCell views.
A missing field raises KeyError (dict) or AttributeError (object); input sheets also
need ``name``, ``sheet_state``, ``merge_cells`` and ``cells`` (a list). Searches copy
the input first and release the GIL while they run.
"""

from collections.abc import Sequence
from typing import Any, final

__all__ = [
    "Finder",
    "ReadableSheet",
    "ReadableCell",
    "create_finder",
    "find_cell_by_coords",
    "find_value_by_coords",
    "find_cell_by_regex",
    "find_cell_by_str",
    "find_cell_by_letter",
    "find_cells_by_regex",
    "find_cells_by_str",
    "find_cells_for_rows_by_regex",
    "find_cells_for_cols_by_regex",
    "find_cells_multi_regex",
    "find_cells_between_regex",
    "find_cells_range_rows",
    "find_cells_range_cols",
    "find_values_by_col_rows",
    "find_values_by_row_cols",
]

@final
class ReadableCell:
    """A read-only view of one cell record taken in by the read-only side."""

    @property
    def row(self) -> int:
        """Row number."""
    @property
    def column(self) -> int:
        """Column number."""
    @property
    def letter(self) -> str:
        """A1 reference, e.g. ``"C7"``."""
    @property
    def value(self) -> str:
        """Text form of the value."""
    @property
    def formula(self) -> str | None:
        """The formula, or None."""
    @property
    def style(self) -> str | None:
        """Text form of the input's ``style_id``, or None."""
    @property
    def data_type(self) -> str:
        """The type code the input gave (``"n"``, ``"s"``, ``"b"``, ``"d"``, ``"f"``, ...)."""
    @property
    def is_formula(self) -> bool:
        """True when the type code is ``"f"`` and a formula is present."""
    @property
    def is_value_bool(self) -> bool:
        """True for a bool value."""
    @property
    def is_value_numeric(self) -> bool:
        """True for a number that is not a 32-bit integer."""
    @property
    def is_value_integer(self) -> bool:
        """True for a 32-bit integer value."""
    @property
    def is_value_datetime(self) -> bool:
        """True for a date-time value."""
    @property
    def is_value_empty(self) -> bool:
        """True for an empty value."""

@final
class ReadableSheet:
    """A read-only view of one sheet held by a Finder; searches release the GIL."""

    @property
    def name(self) -> str:
        """Sheet name."""
    @property
    def sheet_state(self) -> str:
        """State text (``""`` when the input gave None)."""
    @property
    def max_row(self) -> int:
        """Highest row that holds a cell."""
    @property
    def max_column(self) -> int:
        """Highest column that holds a cell."""
    @property
    def cells(self) -> list[ReadableCell]:
        """Every cell in row-major order (a later duplicate coordinate replaced an earlier one)."""
    @property
    def merge_cells(self) -> list[tuple[int, int, int, int]]:
        """Merged ranges as ``(start_row, end_row, start_col, end_col)``."""
    def get_value_cell(self, row: int, col: int) -> str:
        """Text form of the value at ``(row, col)``; ``""`` when there is no cell."""
    def get_cells_by_range(
        self,
        start_row: int | None = None,
        end_row: int | None = None,
        start_col: int | None = None,
        end_col: int | None = None,
    ) -> list[ReadableCell]:
        """Cells inside the rectangle, row-major; missing bounds are rows 1..1048576, columns 1..16384."""
    def find_cell_by_regex(self, regex: str) -> ReadableCell | None:
        """First cell (row-major) matching the case-insensitive pattern; RuntimeError if it does not compile."""
    def find_cell_by_str(self, value: str) -> ReadableCell | None:
        """First cell whose value equals ``value``, both trimmed of white space (case-sensitive)."""
    def find_cell_by_coords(self, row: int, col: int) -> ReadableCell | None:
        """The cell at ``(row, col)``, or None."""
    def find_cell_by_letter(self, letter: str) -> ReadableCell | None:
        """The cell at an A1 reference, or None; ValueError when the reference does not parse."""
    def find_cells_by_regex(self, regex: str) -> list[ReadableCell]:
        """Every cell matching the case-insensitive pattern, row-major."""
    def find_cells_by_str(self, value: str) -> list[ReadableCell]:
        """Every cell whose trimmed value equals the trimmed ``value``."""
    def find_cells_for_rows_by_regex(self, regex: str, col_stop: int) -> list[ReadableCell]:
        """Matching cells in columns up to ``col_stop``."""
    def find_cells_for_cols_by_regex(self, regex: str, row_stop: int) -> list[ReadableCell]:
        """Matching cells in rows up to ``row_stop``."""
    def find_cells_multi_regex(self, before_regex: str, after_regex: str) -> list[ReadableCell]:
        """The cells that open and close sections, in order."""
    def find_cells_between_regex(self, before_regex: str, after_regex: str) -> list[ReadableCell]:
        """Cells of the rows from the first opening match to the next closing match."""
    def find_cells_range_rows(self, start_row: int, end_row: int) -> list[ReadableCell]:
        """Cells in rows ``start_row..end_row``."""
    def find_cells_range_cols(self, start_col: int, end_col: int) -> list[ReadableCell]:
        """Cells in columns ``start_col..end_col``."""
    def find_values_by_col_rows(self, col: int, rows: Sequence[int]) -> list[str]:
        """Values in column ``col`` at the given rows that hold a cell."""
    def find_values_by_row_cols(self, row: int, cols: Sequence[int]) -> list[str]:
        """Values in row ``row`` at the given columns that hold a cell."""
    def find_value_by_coords(self, row: int, col: int) -> str | None:
        """Text form of the value at ``(row, col)``, or None."""

@final
class Finder:
    """Read-only copies of a list of sheets (dicts, objects or Sheet handles whose cells have
    all six fields), with queries by sheet name and pattern."""

    def __new__(cls, sheets: list[Any]) -> Finder:
        """Take in ``sheets`` (a list); the input is copied, later changes to it are not seen."""
    @property
    def sheets(self) -> list[ReadableSheet]:
        """The sheets, in input order."""
    def get_sheet_index(self, idx: int) -> ReadableSheet | None:
        """The sheet at position ``idx``, or None."""
    def get_sheets_without_names(self, name_list: Sequence[str]) -> list[ReadableSheet]:
        """Sheets whose name is not in ``name_list`` (a list or tuple of str)."""
    def get_sheets_with_names(self, name_list: Sequence[str]) -> list[ReadableSheet]:
        """Sheets whose name is in ``name_list`` (a list or tuple of str), in sheet order."""
    def find_sheet_by_name(self, name: str) -> ReadableSheet | None:
        """First sheet with exactly this name (case-sensitive), or None."""
    def find_sheet_by_regex(self, pattern: str) -> ReadableSheet | None:
        """First sheet whose name matches the pattern (case-sensitive unless it says ``(?i)``)."""

def create_finder(sheets: list[Any]) -> Finder:
    """The same as ``Finder(sheets)``."""
def find_cell_by_coords(row: int, col: int, cells: list[Any]) -> ReadableCell | None:
    """First cell of the list at ``(row, col)``, or None."""
def find_value_by_coords(row: int, col: int, cells: list[Any]) -> str | None:
    """Text form of the value of the first cell at ``(row, col)``, or None."""
def find_cell_by_regex(regex: str, cells: list[Any]) -> ReadableCell | None:
    """First cell (list order) matching the case-insensitive pattern; RuntimeError if it does not compile."""
def find_cell_by_str(value: str, cells: list[Any]) -> ReadableCell | None:
    """First cell whose value equals ``value``, both trimmed of white space (case-sensitive)."""
def find_cell_by_letter(letter: str, cells: list[Any]) -> ReadableCell | None:
    """First cell at an A1 reference; ValueError when the reference does not parse."""
def find_cells_by_regex(regex: str, cells: list[Any]) -> list[ReadableCell]:
    """Every cell matching the case-insensitive pattern, in list order."""
def find_cells_by_str(value: str, cells: list[Any]) -> list[ReadableCell]:
    """Every cell whose trimmed value equals the trimmed ``value``, in list order."""
def find_cells_for_rows_by_regex(regex: str, col_stop: int, cells: list[Any]) -> list[ReadableCell]:
    """Matching cells in columns up to ``col_stop``."""
def find_cells_for_cols_by_regex(regex: str, row_stop: int, cells: list[Any]) -> list[ReadableCell]:
    """Matching cells in rows up to ``row_stop``."""
def find_cells_multi_regex(before_regex: str, after_regex: str, cells: list[Any]) -> list[ReadableCell]:
    """The cells that open and close sections, in list order."""
def find_cells_between_regex(before_regex: str, after_regex: str, cells: list[Any]) -> list[ReadableCell]:
    """Cells whose row lies between the first opening and the next closing match."""
def find_cells_range_rows(start_row: int, end_row: int, cells: list[Any]) -> list[ReadableCell]:
    """Cells in rows ``start_row..end_row``, in list order."""
def find_cells_range_cols(start_col: int, end_col: int, cells: list[Any]) -> list[ReadableCell]:
    """Cells in columns ``start_col..end_col``, in list order."""
def find_values_by_col_rows(col: int, rows: Sequence[int], cells: list[Any]) -> list[str]:
    """Values of the cells in column ``col`` whose row is in ``rows``, in list order."""
def find_values_by_row_cols(row: int, cols: Sequence[int], cells: list[Any]) -> list[str]:
    """Values of the cells in row ``row`` whose column is in ``cols``, in list order."""
