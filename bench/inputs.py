"""Large benchmark inputs, generated once into bench/out/ (git-ignored)."""

import pathlib
import subprocess
import sys

HERE = pathlib.Path(__file__).resolve().parent


def large_metadata(tables=2000, columns=20):
    """Path of the synthetic metadata document of that size, made on first use."""
    out = HERE / "out" / f"large_metadata_{tables}x{columns}.json"
    if not out.exists():
        out.parent.mkdir(exist_ok=True)
        subprocess.run([sys.executable, str(HERE / "make_large_metadata.py"), "--tables", str(tables),
                        "--columns", str(columns), "--out", str(out)], check=True, stdout=subprocess.DEVNULL)
    return str(out)
