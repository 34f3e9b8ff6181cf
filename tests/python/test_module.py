"""The module frame: registration order, names, text signatures, docstrings, re-import."""

import inspect
import subprocess
import sys
import tempfile
import textwrap

import pytest

import tabulon
from tabulon import _tabulon

NATIVE_ALL = [
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
READABLE_ALL = [
    "Finder", "ReadableSheet", "ReadableCell", "create_finder",
    "find_cell_by_coords", "find_value_by_coords", "find_cell_by_regex", "find_cell_by_str",
    "find_cell_by_letter", "find_cells_by_regex", "find_cells_by_str", "find_cells_for_rows_by_regex",
    "find_cells_for_cols_by_regex", "find_cells_multi_regex", "find_cells_between_regex",
    "find_cells_range_rows", "find_cells_range_cols", "find_values_by_col_rows", "find_values_by_row_cols",
]


def run_python(code):
    """Runs code in a fresh interpreter and returns its stdout."""
    # Run outside the checkout so that its tabulon/ source folder does not shadow the
    # installed package.
    result = subprocess.run(
        [sys.executable, "-c", textwrap.dedent(code)],
        capture_output=True, text=True, timeout=60, cwd=tempfile.gettempdir(),
    )
    assert result.returncode == 0, result.stderr
    return result.stdout


def test_version():
    assert _tabulon.version() == "0.12.3"
    assert _tabulon.__version__ == "0.12.3"
    assert tabulon.__version__ == "0.12.3"


@pytest.mark.parametrize("call", [lambda: _tabulon.version(1), lambda: _tabulon.version(x=1)])
def test_version_takes_no_arguments(call):
    with pytest.raises(TypeError):
        call()


def test_constants_are_floats():
    assert type(_tabulon.DEFAULT_ROW_HEIGHT) is float and _tabulon.DEFAULT_ROW_HEIGHT == 20.0
    assert type(_tabulon.DEFAULT_COLUMN_WIDTH) is float and _tabulon.DEFAULT_COLUMN_WIDTH == 22.5


def test_all_lists_registration_order():
    assert _tabulon.__all__ == NATIVE_ALL
    assert _tabulon.readable.__all__ == READABLE_ALL
    assert tabulon.__all__ == NATIVE_ALL
    assert _tabulon.__doc__ == ""


def test_readable_submodule_lives_in_sys_modules():
    assert _tabulon.readable is sys.modules["tabulon.readable"]
    assert _tabulon.readable.__name__ == "readable"
    assert tabulon.readable is _tabulon.readable


def test_functions_are_builtins_of_their_module():
    for name in ["version", "column_number_to_letter", "get_letter_coordinate"]:
        function = getattr(_tabulon, name)
        assert type(function).__name__ == "builtin_function_or_method"
        assert function.__module__ == _tabulon.__name__ == "tabulon._tabulon"
        assert function.__self__ is _tabulon


@pytest.mark.parametrize(
    "function, signature, doc",
    [
        (
            _tabulon.version,
            "()",
            "Returns the version of the underlying dornik library.\n\nReturns\n-------\n"
            "version : str\n  The version of the underlying dornik library.\n",
        ),
        (_tabulon.column_number_to_letter, "(col)", "Преобразование номера колонки в букву."),
        (
            _tabulon.get_letter_coordinate,
            "(row, col)",
            "Преобразование номера колонки в координату.",
        ),
    ],
)
def test_text_signatures_and_docstrings(function, signature, doc):
    assert function.__text_signature__ == signature
    assert str(inspect.signature(function)) == signature
    assert function.__doc__ == doc


def test_fresh_interpreter_imports():
    out = run_python(
        """
        from tabulon import column_number_to_letter
        import tabulon.readable
        from tabulon.readable import __name__ as name
        print(column_number_to_letter(3), name)
        """
    )
    assert out.split() == ["C", "readable"]


def test_second_import_returns_the_same_module():
    out = run_python(
        """
        import importlib, sys
        import tabulon._tabulon as first
        del sys.modules["tabulon._tabulon"]
        second = importlib.import_module("tabulon._tabulon")
        print(first is second, second.readable is sys.modules["tabulon.readable"])
        """
    )
    assert out.split() == ["True", "True"]


def test_concurrent_first_imports_get_one_module():
    out = run_python(
        """
        import threading, importlib
        seen, barrier = [], threading.Barrier(8)
        def work():
            barrier.wait()
            seen.append(importlib.import_module("tabulon._tabulon"))
        threads = [threading.Thread(target=work) for _ in range(8)]
        for t in threads: t.start()
        for t in threads: t.join()
        print(len(seen), len({id(m) for m in seen}))
        """
    )
    assert out.split() == ["8", "1"]


def test_sub_interpreter_import_fails():
    _testcapi = pytest.importorskip("_testcapi")
    if not hasattr(_testcapi, "run_in_subinterp"):
        pytest.skip("no sub-interpreter support in this build")
    out = run_python(
        """
        import os, tempfile, _testcapi
        import tabulon._tabulon
        path = tempfile.mktemp()
        code = f'''
        try:
            import tabulon._tabulon
            result = "imported"
        except ImportError as e:
            result = "ImportError: " + str(e)
        open({path!r}, "w").write(result)
        '''
        _testcapi.run_in_subinterp(code.replace("\\n        ", "\\n"))
        print(open(path).read()); os.unlink(path)
        """
    )
    assert out.startswith("ImportError") and "sub-interpreter" in out


def test_class_names_and_modules():
    assert _tabulon.Book.__module__ == "tabulon"
    assert _tabulon.Book.__qualname__ == "Book"
    assert _tabulon.Book.__text_signature__ == "()"
    for cls in (_tabulon.Sheet, _tabulon.Cell, _tabulon.Comment):
        assert cls.__module__ == "tabulon"
        assert cls.__doc__ is None


@pytest.mark.parametrize("name", ["Book", "Sheet", "Cell", "Comment"])
def test_classes_cannot_be_subclassed(name):
    with pytest.raises(TypeError):
        type("Derived", (getattr(_tabulon, name),), {})


@pytest.mark.parametrize("name", ["Sheet", "Cell", "Comment"])
def test_handles_have_no_constructor(name):
    with pytest.raises(TypeError):
        getattr(_tabulon, name)()


def test_book_takes_no_arguments():
    with pytest.raises(TypeError):
        _tabulon.Book(1)
    with pytest.raises(TypeError):
        _tabulon.Book(x=1)


def test_readable_names_signatures_and_modules():
    readable = _tabulon.readable
    for name in ["Finder", "ReadableSheet", "ReadableCell"]:
        assert getattr(readable, name).__module__ == "tabulon.readable"
    assert readable.Finder.__text_signature__ == "(sheets)"
    for name in READABLE_ALL[3:]:
        function = getattr(readable, name)
        assert function.__module__ == "readable" and function.__self__ is readable
        assert function.__doc__ is None
    assert readable.find_cells_between_regex.__text_signature__ == "(before_regex, after_regex, cells)"
    assert readable.create_finder.__text_signature__ == "(sheets)"
    from tabulon.readable import Finder  # noqa: F401  found through sys.modules


@pytest.mark.parametrize("name", ["Finder", "ReadableSheet", "ReadableCell"])
def test_readable_classes_cannot_be_subclassed(name):
    with pytest.raises(TypeError):
        type("Derived", (getattr(_tabulon.readable, name),), {})


@pytest.mark.parametrize("name", ["ReadableSheet", "ReadableCell"])
def test_readable_views_have_no_constructor(name):
    with pytest.raises(TypeError):
        getattr(_tabulon.readable, name)()
