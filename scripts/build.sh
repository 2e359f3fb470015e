#!/usr/bin/env bash
# Configures and builds everything (program, companion, tests, benchmarks) in
# build/. Extra arguments go to the CMake configure step.
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=$(nproc 2>/dev/null || echo 2)
cmake --preset default "$@" >/dev/null
cmake --build build -j "$jobs"
