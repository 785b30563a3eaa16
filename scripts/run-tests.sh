#!/usr/bin/env bash
# Runs every test of a build folder, then checks the Windows build.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
ctest --test-dir "$build" --output-on-failure -j 2 --timeout 300
./scripts/windows-check.sh
