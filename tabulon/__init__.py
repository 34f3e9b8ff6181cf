"""tabulon: an in-memory spreadsheet model with an exact JSON document and a fast,
parallel cell search engine.

The native module ``tabulon._tabulon`` does the work; this package re-exports it.
``tabulon.readable`` is registered in ``sys.modules`` by the native module itself.
"""

from . import _tabulon
from ._tabulon import *  # noqa: F401,F403
from ._tabulon import __all__ as _native_all, __version__, readable  # noqa: F401

__all__ = list(_native_all)
