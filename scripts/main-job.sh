#!/usr/bin/env bash
# Builds the Release configuration (with the benchmarks) and runs the main job: spirohost
# loads the plug-in from its bundle and lists what it registered.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DSPIRO_TESTS=OFF -DSPIRO_BENCH=ON >/dev/null
cmake --build build-release -j "$(nproc)"
./build-release/spirohost list
