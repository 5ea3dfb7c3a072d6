#!/usr/bin/env bash
# Sets up the machine, then runs the demonstration on the bundled sample data.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
.venv/bin/python -m Corvalt
