#!/usr/bin/env bash
# Sets up the machine, then runs every test: the C++ core tests (CTest) and
# the Python tests (pytest) against the installed package. The two suites run
# side by side; the script fails when either fails.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

echo "== building the C++ core tests"
export PATH="$PWD/.venv/bin:$PATH"
cmake -S . -B build/ctest -G Ninja -DCMAKE_BUILD_TYPE=Release -DCORVALT_BUILD_TESTS=ON \
      -DCORVALT_BUILD_MODULES=OFF >/dev/null
cmake --build build/ctest -j2

ctest_log=build/ctest/ctest-output.log
ctest --test-dir build/ctest --output-on-failure --no-tests=error -j2 >"$ctest_log" 2>&1 &
ctest_pid=$!

echo "== Python tests"
# Run from a scratch directory so that the installed package is tested, not
# the source tree.
py_status=0
(cd tests && ../.venv/bin/python -m pytest -q -p no:cacheprovider .) || py_status=$?

ctest_status=0
wait "$ctest_pid" || ctest_status=$?
echo "== C++ core tests"
if [ "$ctest_status" -eq 0 ]; then
  grep -E "tests passed|Total Test time" "$ctest_log"
else
  cat "$ctest_log"
fi

[ "$py_status" -eq 0 ] && [ "$ctest_status" -eq 0 ]
