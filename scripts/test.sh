#!/usr/bin/env bash
# Builds the test configuration (AddressSanitizer and UndefinedBehaviorSanitizer) and runs
# every test.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
jobs=$(nproc)
# CI builds this from scratch on every run: line tables only (-g1) cut its compile time by a
# sixth, and the sanitizers' reports still name file and line.
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSPIRO_SANITIZE=ON -DSPIRO_TESTS=ON \
  -DCMAKE_CXX_FLAGS_DEBUG=-g1 >/dev/null
cmake --build build-test -j "$jobs"
ctest --test-dir build-test --output-on-failure -j "$jobs"
# The plot page's script library (its DOM-free core) under node's own test runner.
node --test tests/js/
