"""Large benchmark inputs, generated once into bench/out/ (git-ignored), and a timer."""

import os
import pathlib
import statistics
import subprocess
import sys
import time

HERE = pathlib.Path(__file__).resolve().parent


def large_metadata(tables=2000, columns=20, broad=False):
    """Path of the synthetic metadata document of that size, made on first use.

    broad: the shape where a ten-keyword search matches about two thirds of the nodes
    (make_large_metadata.py --broad)."""
    out = HERE / "out" / f"large_metadata_{tables}x{columns}{'_broad' if broad else ''}.json"
    if not out.exists():
        out.parent.mkdir(exist_ok=True)
        subprocess.run([sys.executable, str(HERE / "make_large_metadata.py"), "--tables", str(tables),
                        "--columns", str(columns), "--out", str(out)] + (["--broad"] if broad else []),
                       check=True, stdout=subprocess.DEVNULL)
    return str(out)


def reference_python(argv_value=None):
    """The interpreter that runs bench/reference_python.py (a plain-Python version of the
    same work with networkx and pandas), or None when none is given or it lacks them.

    Taken from --reference-python or CORVALT_REFERENCE_PYTHON; the packages are never
    installed into the project's own environment."""
    path = argv_value or os.environ.get("CORVALT_REFERENCE_PYTHON")
    if not path:
        return None
    probe = subprocess.run([path, "-c", "import networkx, pandas"], capture_output=True)
    if probe.returncode != 0:
        print(f"reference interpreter {path} lacks networkx or pandas: plain-Python figures skipped")
        return None
    return path


def run_reference(python, *args):
    """Runs one task of reference_python.py and returns its printed lines."""
    out = subprocess.run([python, str(HERE / "reference_python.py"), *map(str, args)],
                         check=True, capture_output=True, text=True)
    return out.stdout.strip().splitlines()


def median_ms(call, runs):
    """The median of `runs` timings of call(), in milliseconds."""
    samples = []
    for _ in range(runs):
        t0 = time.perf_counter()
        call()
        samples.append((time.perf_counter() - t0) * 1e3)
    return statistics.median(samples)
