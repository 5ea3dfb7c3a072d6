#!/usr/bin/env bash
# Sets up the machine, then runs every test: the C++ core tests (CTest) and
# the Python tests (pytest) against the installed package. The two suites run
# side by side; the script fails when either fails.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

# --- A throw-away PostgreSQL server for the PostgreSQL tests -------------------
# Debian's server package, without the cluster it would create and start by
# itself: the tests start their own (scripts/postgres.sh) and stop it at exit.
if ! dpkg-query -W -f='${Status}' postgresql 2>/dev/null | grep -q "ok installed"; then
  echo "== installing Debian packages: postgresql"
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  if [ ! -e /etc/postgresql-common/createcluster.conf ]; then
    $SUDO mkdir -p /etc/postgresql-common
    echo "create_main_cluster = false" | $SUDO tee /etc/postgresql-common/createcluster.conf >/dev/null
  fi
  $SUDO apt-get update -qq </dev/null
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq postgresql </dev/null >/dev/null
fi
echo "== starting a PostgreSQL server for the tests"
# shellcheck source=postgres.sh
if source scripts/postgres.sh start; then
  trap 'bash scripts/postgres.sh stop "$CORVALT_PG_DIR"' EXIT
  .venv/bin/corvalt load-sample "$CORVALT_PG_ADMIN_URI" --quiet >/dev/null
elif [ "${CI:-}" = "true" ]; then
  echo "no PostgreSQL server could be started, and CI must run its tests" >&2
  exit 1
else
  echo "== no PostgreSQL server could be started: the PostgreSQL tests will be skipped"
  unset CORVALT_PG_URI CORVALT_PG_ADMIN_URI
fi

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
