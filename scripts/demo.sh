#!/usr/bin/env bash
# Sets up the machine, then answers one question on the bundled sample data.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
.venv/bin/corvalt ask "Which activities are on the critical path?"
