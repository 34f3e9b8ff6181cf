#!/usr/bin/env bash
# Runs every test: the GoogleTest suite of the core (through ctest) and the pytest suite.
# Sets up whatever a fresh machine lacks first (see scripts/setup.sh).
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"

echo "== core tests (GoogleTest, ctest)"
cmake -S . -B build/core -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DTABULON_PYTHON=OFF -DTABULON_CORE_TESTS=ON -DTABULON_WERROR=ON >/dev/null
cmake --build build/core -j 2
ctest --test-dir build/core --output-on-failure -j 2 --no-tests=error

echo "== type stubs against the built module (stubtest), examples (mypy --strict)"
# stubtest runs outside the checkout so that it inspects the installed package.
(cd "${TMPDIR:-/tmp}" && "$VPY" -m mypy.stubtest tabulon)
"$VPY" -m mypy --strict examples/

echo "== wheel: build, install into a fresh virtual environment, import"
# Shares the install's build folder (build/{wheel_tag}), so this is incremental.
WHEELS="$TOP/build/wheel-check"
rm -rf "$WHEELS" && mkdir -p "$WHEELS"
"$VPY" -m pip wheel -q --disable-pip-version-check --no-build-isolation --no-deps -w "$WHEELS/dist" .
"$VPY" -m venv "$WHEELS/venv"
"$WHEELS/venv/bin/python" -m pip install -q --disable-pip-version-check --no-index "$WHEELS"/dist/tabulon-*.whl
(cd "$WHEELS" && "$WHEELS/venv/bin/python" - <<'PY'
import importlib.resources, tabulon
from tabulon.readable import find_cell_by_str
book = tabulon.Book()
book.add_sheet("S").cell(1, 1, "x")
assert find_cell_by_str("x", [{"row": 1, "column": 1, "value": "x", "formula": None, "data_type": "s",
                               "style_id": None}]).letter == "A1"
shipped = {p.name for p in importlib.resources.files("tabulon").iterdir()}
assert {"py.typed", "__init__.pyi", "_tabulon.pyi", "readable.pyi"} <= shipped, shipped
print("wheel imports:", tabulon.__version__, book.to_json()[:10])
PY
)

echo "== Python tests (pytest)"
# The pytest script (not 'python -m pytest') keeps the checkout's tabulon/ source folder off
# sys.path, so the tests import the installed extension.
set +e
"$VENV/bin/pytest" -q -p no:cacheprovider "$@"
status=$?
set -e
if [ $status -eq 5 ]; then
  echo "pytest ran no tests" >&2
fi
[ $status -eq 0 ] || exit $status

echo "== benchmark smoke run (quick mode; figures are a report, not a test)"
"$VENV/bin/python" bench/run.py --quick
