#!/usr/bin/env bash
# Installs everything a fresh machine lacks and builds the package into .venv.
# Safe to run again: installed pieces are skipped.
set -euo pipefail
cd "$(dirname "$0")/.."

# --- Debian packages needed to build the C++ core ---------------------------
DEB_PACKAGES=(g++ pkg-config libpcre2-dev libicu-dev libsqlite3-dev libgtest-dev)
missing=()
for p in "${DEB_PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "== installing Debian packages: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
fi

# --- Python: the host is CPython 3.12; fall back to the newest 3.11+ ---------
pick_python() {
  local candidates=(python3.12)
  candidates+=(/root/.pyenv/versions/3.12*/bin/python3.12 "$HOME"/.pyenv/versions/3.12*/bin/python3.12)
  candidates+=(python3.13 python3.11 /root/.pyenv/versions/3.11*/bin/python3.11 python3)
  for c in "${candidates[@]}"; do
    if "$c" -c 'import sys, venv; sys.exit(0 if sys.version_info >= (3, 11) else 1)' >/dev/null 2>&1; then
      echo "$c"; return 0
    fi
  done
  return 1
}
if [ ! -x .venv/bin/python ]; then
  PY=$(pick_python) || { echo "no Python 3.11+ with venv found" >&2; exit 1; }
  echo "== creating .venv with $("$PY" --version)"
  "$PY" -m venv .venv
fi
.venv/bin/python -m pip install -q --upgrade pip >/dev/null 2>&1 || true
.venv/bin/python -m pip install -q "scikit-build-core>=0.10" "nanobind>=2.0" "pytest>=7" cmake ninja

# --- Build and install the package ------------------------------------------
echo "== building and installing Corvalt"
.venv/bin/python -m pip install -q --no-build-isolation .
