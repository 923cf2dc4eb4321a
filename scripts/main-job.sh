#!/usr/bin/env bash
# Builds the Release configuration (with the benchmarks) and runs the main job: spirohost
# loads the plug-in from its bundle, analyses the bundled sample recording and saves the
# spirometry report as CSV, the report view printed to PDF and the flow-volume loop view's
# window as PNG (both in headless Chromium).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DSPIRO_TESTS=OFF -DSPIRO_BENCH=ON >/dev/null
cmake --build build-release -j "$(nproc)"
report=build-release/sample-report.csv
pdf=build-release/sample-report.pdf
loop=build-release/sample-loop.png
options=(tests/data/sample.edf --raw 1 --scale 2 --drift-correction --non-forced)
./build-release/spirohost analyse "${options[@]}" --csv "$report"
./build-release/spirohost view "${options[@]}" --view "Spirometry Report" --print "$pdf"
./build-release/spirohost view "${options[@]}" --view "Spirometry Loop View" --settle 2 --png "$loop"
echo "The report of tests/data/sample.edf is in $report, and as the report view printed in $pdf"
echo "The flow-volume loop of tests/data/sample.edf is in $loop"
