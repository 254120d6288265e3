"""The Dask example on a local cluster of worker processes, 2,000,000 points,
against the conversion in this process, bit for bit."""
import os
import pathlib
import subprocess
import sys

import pytest

pytest.importorskip("dask.distributed")

EXAMPLE = pathlib.Path(__file__).resolve().parents[2] / "examples" / "python" / "dask_convert.py"


def test_dask_example_matches_in_process_conversion():
    run = subprocess.run([sys.executable, str(EXAMPLE), "--points", "2000000", "--chunk", "300000", "--check"],
                         capture_output=True, text=True, timeout=300, env=dict(os.environ))
    assert run.returncode == 0, run.stdout + run.stderr
    assert "2000000 points in 7 blocks on 2 workers" in run.stdout
    assert "bit for bit as in this process: True" in run.stdout
