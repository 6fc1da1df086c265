#!/bin/sh
# The romaji-search benchmark, built and run in one step (natively, optimised):
# prints per term the pass time, its ratio to the plain pass of the same run and
# whether the limits hold (exit code 1 when not).
set -e
cd "$(dirname "$0")/.."
cmake --preset bench >/dev/null
cmake --build --preset bench --target migemo_bench
exec build/bench/bench/migemo_bench "$@"
