#!/usr/bin/env bash
# The trainer's first paint and memory beside a bare Qt window with the same controls, with a sound
# server running (bench/startup_figures.py). Needs an X server (scripts/run-benchmarks gives one).
# usage: bench/startup_bench.sh PATH/TO/startup_bench
set -euo pipefail

bench=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
exec /usr/bin/python3 "$here/startup_figures.py" "$bench" "$(dirname "$bench")/helpers/bare_window"
