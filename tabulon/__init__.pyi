"""tabulon: an in-memory spreadsheet model with an exact JSON document and a parallel cell
search engine. Everything is re-exported from the native module ``tabulon._tabulon``."""

from . import _tabulon as _tabulon
from . import readable as readable
from ._tabulon import (
    DEFAULT_COLUMN_WIDTH as DEFAULT_COLUMN_WIDTH,
    DEFAULT_ROW_HEIGHT as DEFAULT_ROW_HEIGHT,
    Book as Book,
    Cell as Cell,
    Comment as Comment,
    Service as Service,
    Sheet as Sheet,
    __version__ as __version__,
    column_number_to_letter as column_number_to_letter,
    get_letter_coordinate as get_letter_coordinate,
    version as version,
)

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
