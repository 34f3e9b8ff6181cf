"""Every python block of the README runs, so its examples cannot go stale."""

import pathlib
import re

README = pathlib.Path(__file__).resolve().parents[2] / "README.md"
BLOCKS = re.findall(r"```python\n(.*?)```", README.read_text(encoding="utf-8"), re.S)


def test_readme_has_examples():
    assert BLOCKS


def test_readme_examples_run():
    namespace = {}
    for block in BLOCKS:
        exec(compile(block, str(README), "exec"), namespace)  # noqa: S102
    assert namespace["document"].startswith('{"sheets":[{"name":"Data"')
