#!/usr/bin/env bash
# Throwaway check, not part of CI: builds the wheel with the oldest and the newest supported
# CPython (pyenv versions by default) and imports each in a fresh virtual environment.
#   bash scripts/check_wheels.sh [/path/to/python ...]
set -euo pipefail
TOP=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$TOP"
PYTHONS=("$@")
if [ ${#PYTHONS[@]} -eq 0 ]; then
  # The oldest and newest 3.x that pyenv has, when pyenv is there.
  root=$(pyenv root 2>/dev/null || true)
  if [ -n "$root" ]; then
    mapfile -t found < <(ls -d "$root"/versions/3.1[0-9]* 2>/dev/null | sort -V)
    [ ${#found[@]} -gt 0 ] && PYTHONS=("${found[0]}/bin/python3" "${found[-1]}/bin/python3")
  fi
  if [ ${#PYTHONS[@]} -eq 0 ]; then
    echo "check_wheels: name the interpreters to check" >&2
    exit 2
  fi
fi
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
export CMAKE_BUILD_PARALLEL_LEVEL=${CMAKE_BUILD_PARALLEL_LEVEL:-2}
for py in "${PYTHONS[@]}"; do
  tag=$("$py" -c 'import sys; print(f"cp{sys.version_info[0]}{sys.version_info[1]}")')
  echo "== $("$py" -V) ($tag)"
  "$py" -m venv "$WORK/$tag"
  vpy="$WORK/$tag/bin/python"
  "$vpy" -m pip install -q --disable-pip-version-check --upgrade pip
  "$vpy" -m pip wheel -q --disable-pip-version-check --no-deps -w "$WORK/dist-$tag" .
  "$vpy" -m pip install -q --disable-pip-version-check --no-index "$WORK/dist-$tag"/tabulon-*.whl
  (cd "$WORK" && "$vpy" -c '
import sys, tabulon
from tabulon import readable
book = tabulon.Book()
book.add_sheet("S").cell(1, 1, "5")
assert book.to_dict()["sheets"][0]["cells"][0]["value"] == 5
assert readable.Finder(book.to_dict()["sheets"][:0]).sheets == []
print("ok", sys.version.split()[0], tabulon.__version__)
')
  ls "$WORK/dist-$tag"
done
