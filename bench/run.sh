#!/usr/bin/env bash
# Builds and runs the benchmarks; prints their tables.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh -DBUILD_TESTING=ON >/dev/null
./build/bench/bench_tabs
./build/bench/bench_userdata 2>/dev/null
QTWEBENGINE_DISABLE_SANDBOX=1 ./build/bench/bench_pages 2>/dev/null
QTWEBENGINE_DISABLE_SANDBOX=1 ./build/bench/bench_pictures 2>/dev/null
QTWEBENGINE_DISABLE_SANDBOX=1 ./build/bench/bench_screenshot 2>/dev/null
