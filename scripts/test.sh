#!/usr/bin/env bash
# Runs every test: the GoogleTest suite of the core (through ctest) and the pytest suite.
# Sets up whatever a fresh machine lacks first (see scripts/setup.sh).
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"

echo "== core tests (GoogleTest, ctest)"
cmake -S . -B build/core -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DTABULON_PYTHON=OFF -DTABULON_CORE_TESTS=ON -DTABULON_WERROR=ON >/dev/null
cmake --build build/core
ctest --test-dir build/core --output-on-failure -j 2 --no-tests=error

echo "== type stubs against the built module (stubtest), examples (mypy --strict)"
# stubtest runs outside the checkout so that it inspects the installed package.
(cd "${TMPDIR:-/tmp}" && "$VPY" -m mypy.stubtest tabulon)
"$VPY" -m mypy --strict examples/

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
exit $status
