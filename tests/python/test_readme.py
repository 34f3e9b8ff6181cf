"""Every ```python block of the README runs, in order, in one namespace."""

import pathlib
import re

README = pathlib.Path(__file__).resolve().parents[2] / "README.md"
BLOCK = re.compile(r"^```python\n(.*?)^```$", re.S | re.M)


def test_readme_examples_run():
    blocks = BLOCK.findall(README.read_text(encoding="utf-8"))
    assert len(blocks) > 5  # the guide's examples were found at all
    namespace: dict = {"__name__": "readme"}
    for number, code in enumerate(blocks, 1):
        exec(compile(code, f"README.md block {number}", "exec"), namespace)
