#!/usr/bin/env python3
"""Generate the type stubs python/Corvalt/<Module>.pyi from the extension modules.

The stubs are what nanobind's stub generator makes of the modules as they are
importable in this Python (an installed package, or a build's package directory
given with -i): signatures and docstrings come from the bindings themselves.

    python scripts/gen_stubs.py                    # write all three stubs
    python scripts/gen_stubs.py Quillon            # write Quillon.pyi only
    python scripts/gen_stubs.py --check            # exit 1, with a diff, if a stub is stale
    python scripts/gen_stubs.py -i build/pkg ...   # import the package from build/pkg
"""

from __future__ import annotations

import argparse
import difflib
import os
import pathlib
import subprocess
import sys
import tempfile

STUB_DIR = pathlib.Path(__file__).resolve().parent.parent / "python" / "Corvalt"
MODULES = ("Atlanor", "Echovane", "Quillon")
DEFAULT_MODULES = MODULES


def generate(modules: list[str], import_paths: list[str]) -> dict[str, str]:
    """{module: stub text} as nanobind.stubgen writes it."""
    # The Graph type is registered by whichever module loads first and then
    # belongs to it. Loading Atlanor first makes it Atlanor's, so that the
    # Echovane stub imports it from there, whatever the order asked for.
    order = sorted(set(modules) | ({"Atlanor"} if "Echovane" in modules else set()),
                   key=MODULES.index)
    with tempfile.TemporaryDirectory() as out:
        command = [sys.executable, "-m", "nanobind.stubgen", "-q", "-P", "-O", out]
        for path in import_paths:
            command += ["-i", os.path.abspath(path)]
        for name in order:
            command += ["-m", "Corvalt." + name]
        run = subprocess.run(command, capture_output=True, text=True)
        if run.returncode != 0:
            sys.exit("nanobind.stubgen failed:\n" + run.stdout + run.stderr)
        return {name: pathlib.Path(out, name + ".pyi").read_text(encoding="utf-8")
                for name in modules}


def main(argv: list[str] | None = None) -> int:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("modules", nargs="*", metavar="MODULE",
                        help="modules to generate (%s; default: %s)"
                        % (", ".join(MODULES), " ".join(DEFAULT_MODULES)))
    parser.add_argument("--check", action="store_true",
                        help="compare with the committed stubs instead of writing them; "
                             "exit 1 when one differs")
    parser.add_argument("-i", "--import-path", action="append", default=[], metavar="DIR",
                        help="put DIR first on the import path (can be given more than once)")
    opt = parser.parse_args(argv)
    unknown = [name for name in opt.modules if name not in MODULES]
    if unknown:
        parser.error("unknown module: " + ", ".join(unknown))
    modules = list(dict.fromkeys(opt.modules or DEFAULT_MODULES))

    stale = 0
    for name, text in generate(modules, opt.import_path).items():
        path = STUB_DIR / (name + ".pyi")
        current = path.read_text(encoding="utf-8") if path.exists() else ""
        if current == text:
            continue
        if opt.check:
            stale += 1
            sys.stderr.writelines(difflib.unified_diff(
                current.splitlines(keepends=True), text.splitlines(keepends=True),
                f"{path} (committed)", f"{path} (generated)"))
        else:
            path.write_text(text, encoding="utf-8")
            print(f"wrote {path}")
    if stale:
        print(f"{stale} stub(s) differ from the modules; run scripts/gen_stubs.py to update them",
              file=sys.stderr)
    return 1 if stale else 0


if __name__ == "__main__":
    sys.exit(main())
