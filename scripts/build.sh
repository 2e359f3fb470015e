#!/usr/bin/env bash
# Configures and builds everything (program, companion, tests, benchmarks) in
# build/. Extra arguments go to the CMake configure step.
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVANE_WITH_QT=ON "$@" >/dev/null
cmake --build build -j "$jobs"
