#!/usr/bin/env bash
# The main job: builds the example report and prints what it made.
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
exec "$VENV/bin/python" examples/report.py "$@"
