#!/usr/bin/env bash
# Sets up the machine, then runs every test: the C++ core tests (CTest) and
# the Python tests (pytest) against the installed package.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

echo "== C++ core tests"
export PATH="$PWD/.venv/bin:$PATH"
cmake -S . -B build/ctest -G Ninja -DCMAKE_BUILD_TYPE=Release -DCORVALT_BUILD_TESTS=ON \
      -DCORVALT_BUILD_MODULES=OFF >/dev/null
cmake --build build/ctest -j2
ctest --test-dir build/ctest --output-on-failure --no-tests=error -j2

echo "== Python tests"
# Run from a scratch directory so that the installed package is tested, not
# the source tree.
cd tests && ../.venv/bin/python -m pytest -q -p no:cacheprovider .
