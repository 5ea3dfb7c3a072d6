#!/usr/bin/env bash
# Installs everything a fresh machine lacks and builds the package into .venv.
# Safe to run again: Debian packages, Python packages and the package build are
# each skipped when already in place (the build when its sources are unchanged).
set -euo pipefail
cd "$(dirname "$0")/.."

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
apt_updated=""
apt_install() {
  echo "== installing Debian packages: $*"
  if [ -z "$apt_updated" ]; then
    $SUDO apt-get update -qq </dev/null
    apt_updated=1
  fi
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "$@" </dev/null >/dev/null
}

# --- Debian packages needed to build the C++ core ---------------------------
DEB_PACKAGES=(g++ pkg-config libpcre2-dev libicu-dev libsqlite3-dev libgtest-dev libsimdjson-dev libstemmer-dev libpq-dev libpg-query-dev)
missing=()
for p in "${DEB_PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] || apt_install "${missing[@]}"

# --- Python: the host is CPython 3.12; fall back to the newest 3.11+ ---------
# A candidate needs venv and its C headers (the extension modules are built against them).
pick_python() {
  local candidates=(python3.12)
  candidates+=(/root/.pyenv/versions/3.12*/bin/python3.12 "$HOME"/.pyenv/versions/3.12*/bin/python3.12)
  candidates+=(python3.13 python3.11 /root/.pyenv/versions/3.11*/bin/python3.11 python3)
  for c in "${candidates[@]}"; do
    if "$c" -c 'import os, sys, sysconfig, venv, ensurepip
sys.exit(0 if sys.version_info >= (3, 11) and os.path.exists(os.path.join(sysconfig.get_paths()["include"], "Python.h")) else 1)' >/dev/null 2>&1; then
      echo "$c"; return 0
    fi
  done
  return 1
}
if [ ! -x .venv/bin/python ]; then
  PY=$(pick_python) || { apt_install python3 python3-venv python3-dev; PY=$(pick_python); } ||
    { echo "no Python 3.11+ with venv and headers found" >&2; exit 1; }
  echo "== creating .venv with $("$PY" --version)"
  "$PY" -m venv .venv
  .venv/bin/python -m pip install -q --upgrade pip >/dev/null 2>&1 || true
fi

# --- Python packages: the build requirements and the test extra of pyproject.toml
mapfile -t PY_REQUIREMENTS < <(.venv/bin/python - <<'EOF'
import tomllib
with open("pyproject.toml", "rb") as f:
    project = tomllib.load(f)
for req in project["build-system"]["requires"] + ["cmake", "ninja"]:
    print(req)
for req in project["project"].get("optional-dependencies", {}).get("test", []):
    print(req)
EOF
)
[ ${#PY_REQUIREMENTS[@]} -gt 0 ] || { echo "cannot read the requirements from pyproject.toml" >&2; exit 1; }
# True when every requirement is installed in a matching version (packaging comes
# with scikit-build-core; without it nothing counts as satisfied).
requirements_met() {
  .venv/bin/python - "$@" <<'EOF' 2>/dev/null
import sys
from importlib.metadata import PackageNotFoundError, version
from packaging.requirements import Requirement
for text in sys.argv[1:]:
    req = Requirement(text)
    if req.marker is not None and not req.marker.evaluate():
        continue
    try:
        installed = version(req.name)
    except PackageNotFoundError:
        sys.exit(1)
    if not req.specifier.contains(installed, prereleases=True):
        sys.exit(1)
EOF
}
if ! requirements_met "${PY_REQUIREMENTS[@]}"; then
  echo "== installing Python packages: ${PY_REQUIREMENTS[*]}"
  .venv/bin/python -m pip install -q "${PY_REQUIREMENTS[@]}"
fi

# --- Build and install the package ------------------------------------------
# The stamp is a hash of everything that goes into the package plus the
# interpreter and build tools; when it matches the last successful install and
# the package imports, there is nothing to do.
stamp_file=.venv/.corvalt-build-stamp
stamp=$( {
  .venv/bin/python -c 'import sys, importlib.metadata as m; print(sys.version); print([m.version(p) for p in ("scikit-build-core", "nanobind", "cmake", "ninja")])'
  find CMakeLists.txt pyproject.toml README.md core/src core/include bindings python data \
       -type f ! -name '*.pyc' -print0 | LC_ALL=C sort -z | xargs -0 sha256sum
} | sha256sum | cut -d' ' -f1)
venv_python="$PWD/.venv/bin/python"
if [ -f "$stamp_file" ] && [ "$(cat "$stamp_file")" = "$stamp" ] &&
   (cd / && "$venv_python" -c 'import Corvalt.Atlanor, Corvalt.Quillon, Corvalt.Echovane, Corvalt.cli') 2>/dev/null; then
  echo "== Corvalt is up to date in .venv"
else
  echo "== building and installing Corvalt"
  rm -f "$stamp_file"
  # The build takes minutes on a small machine: show the build tool's own
  # progress lines, and the whole log when it fails.
  build_log=$(mktemp)
  if ! .venv/bin/python -m pip install -v --no-build-isolation . \
       >"$build_log" 2>&1 < /dev/null; then
    cat "$build_log"
    rm -f "$build_log"
    exit 1
  fi &
  build_pid=$!
  # Follow the log while pip runs: the "[n/N] Building ..." lines of ninja.
  tail -n +1 -F "$build_log" 2>/dev/null --pid="$build_pid" | grep --line-buffered -E '^\s*\[[0-9]+/[0-9]+\] ' || true
  wait "$build_pid"
  rm -f "$build_log"
  echo "$stamp" > "$stamp_file"
fi
