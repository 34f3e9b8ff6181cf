"""Service: the subclassable report-service base."""

import gc
import json
import weakref

import pytest

from tabulon import Book, Service


def test_base_service():
    db = object()
    s = Service(conn_db=db)
    assert s._conn_db is db and s._sheets == [] and repr(s) == "Service, sheets: 0"
    assert Service(None)._conn_db is None
    assert Service.__module__ == "tabulon" and Service.__text_signature__ == "(conn_db)"


class Report(Service):
    pass


def test_subclass_repr_and_constructor():
    r = Report(1)
    r._add_sheet("A")
    assert repr(r) == "Report, sheets: 1"
    r.extra = "subclass instances have a dict"
    with pytest.raises(TypeError):
        Report(1, 2)
    with pytest.raises(TypeError):
        Report()


def test_subclass_with_own_arguments_uses_new():
    class Monthly(Service):
        def __new__(cls, conn_db, month):
            return super().__new__(cls, conn_db)

        def __init__(self, conn_db, month):
            self.month = month

    m = Monthly("db", 5)
    assert (m._conn_db, m.month) == ("db", 5)


@pytest.mark.parametrize(
    "call, error, message",
    [
        (lambda s: s.summary_0([]), NotImplementedError, "Method 'summary_0' is not implemented"),
        (lambda s: s.summary_0([], year=2024), NotImplementedError, "Method 'summary_0' is not implemented"),
        (lambda s: s.summary_0([], sheets=1), NotImplementedError, "Method 'summary_0' is not implemented"),
        (lambda s: s.summary_0(None), TypeError, "sheets"),
        (lambda s: s.summary_0(), TypeError, "positional"),
        (lambda s: s.summary_0([], []), TypeError, "positional"),
        (lambda s: s._fmt_0(), NotImplementedError, "Method 'fmt_0' is not implemented"),
        (lambda s: s._fmt_0(a=1), NotImplementedError, "Method 'fmt_0' is not implemented"),
        (lambda s: s._fmt_0(1), TypeError, "positional"),
    ],
)
def test_hooks(call, error, message):
    with pytest.raises(error, match=message):
        call(Service(None))


def test_overridden_hooks_are_called():
    class Mine(Service):
        def summary_0(self, sheets, /, **kwargs):
            return ("summary", sheets, kwargs)

        def _fmt_0(self, **kwargs):
            return kwargs

    m = Mine(None)
    assert m.summary_0([1], a=2) == ("summary", [1], {"a": 2}) and m._fmt_0(b=3) == {"b": 3}


def test_book_operations_on_the_service_book():
    s = Service(None)
    data = s._add_sheet("Data")
    assert (data.name, data.sheet_state) == ("Data", "visible")
    s._get_sheet_name("Data").cell(1, 1, "x")
    assert data.get_value_cell(1, 1) == "x"
    assert s._get_sheet_index(1) is None and s._get_sheet_index(0).name == "Data"
    assert s._copy_sheet(s._sheets[0]).name == "Sheet 2"
    with pytest.raises(TypeError):
        s._copy_sheet("Data")
    assert len(s._sheets) == 2
    other = Book()
    other.add_sheet("Elsewhere")
    assert s.to_dict() == json.loads(s.to_json())
    assert [sh["name"] for sh in s.to_dict()["sheets"]] == ["Data", "Sheet 2"]


def test_cycles_through_the_connection_are_collected():
    class Conn:
        pass

    conn = Conn()
    service = Report(conn)
    conn.owner = service  # service -> conn -> service
    service.me = service  # and a cycle through the instance dict
    ref = weakref.ref(service)
    conn_ref = weakref.ref(conn)
    del service, conn
    gc.collect()
    assert ref() is None and conn_ref() is None


def test_connection_reference_is_released():
    import sys

    db = object()
    before = sys.getrefcount(db)
    s = Service(db)
    assert sys.getrefcount(db) == before + 1
    del s
    assert sys.getrefcount(db) == before
