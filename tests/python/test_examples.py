"""The example report runs and reports what it built."""

import pathlib
import subprocess
import sys
import tempfile

EXAMPLES = pathlib.Path(__file__).resolve().parents[2] / "examples"


def test_report_example_runs():
    result = subprocess.run([sys.executable, str(EXAMPLES / "report.py")], capture_output=True, text=True,
                            timeout=120, cwd=tempfile.gettempdir())
    assert result.returncode == 0, result.stderr
    assert "Book, sheets: 3" in result.stdout and "document:" in result.stdout
