# Sourced by the README commands: brings a fresh machine to a built, importable tabulon.
# Installs the Debian packages (as root), makes .venv in the checkout, and rebuilds the
# extension only when a source file changed since the last build.
set -euo pipefail

TOP=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$TOP"

DEBIAN_PACKAGES=(g++ pkg-config libpcre2-dev libtbb-dev libgtest-dev)
missing=()
for pkg in "${DEBIAN_PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$pkg")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" = 0 ]; then
    echo "setup: installing Debian packages: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -q >/dev/null
    apt-get install -y -q "${missing[@]}" >/dev/null
  else
    echo "setup: missing Debian packages. Run as root:" >&2
    echo "  apt-get update && apt-get install -y ${missing[*]}" >&2
    exit 1
  fi
fi

PYTHON=${PYTHON:-python3}
if ! "$PYTHON" -c 'import sys; sys.exit(sys.version_info < (3, 10))'; then
  echo "setup: tabulon needs CPython 3.10 or newer; $PYTHON is $("$PYTHON" -V 2>&1)" >&2
  exit 1
fi

VENV="$TOP/.venv"
if [ ! -x "$VENV/bin/python" ]; then
  echo "setup: creating $VENV"
  "$PYTHON" -m venv "$VENV"
fi
VPY="$VENV/bin/python"

# Tools the build and the tests need; re-installed only when this list changes.
# openpyxl, orjson and ujson are the peers of the benchmark smoke run; openpyxl also reads
# back the files of examples/to_xlsx.py, and mypy checks the stubs and the examples.
TOOLS="scikit-build-core>=0.10 cmake>=3.20 ninja pytest>=7 hypothesis>=6 mypy>=1.18 openpyxl types-openpyxl orjson ujson"
if [ "$(cat "$VENV/.tools-stamp" 2>/dev/null)" != "$TOOLS" ]; then
  echo "setup: installing build and test tools into .venv"
  "$VPY" -m pip install -q --disable-pip-version-check --upgrade pip
  # shellcheck disable=SC2086
  "$VPY" -m pip install -q --disable-pip-version-check $TOOLS
  echo "$TOOLS" >"$VENV/.tools-stamp"
fi
export PATH="$VENV/bin:$PATH"

source_stamp() {
  find core binding tabulon CMakeLists.txt pyproject.toml -type f \
       ! -name '*.pyc' ! -path '*/__pycache__/*' -print0 | sort -z | xargs -0 sha256sum | sha256sum
}
STAMP=$(source_stamp)
if [ "$(cat "$VENV/.build-stamp" 2>/dev/null)" != "$STAMP" ]; then
  echo "setup: building tabulon"
  "$VPY" -m pip install -q --disable-pip-version-check --no-build-isolation --no-deps \
      -Ccmake.define.TABULON_WERROR=ON ${TABULON_CMAKE_ARGS:-} .
  echo "$STAMP" >"$VENV/.build-stamp"
fi
