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
QTWEBENGINE_DISABLE_SANDBOX=1 ./build/bench/bench_downloads 2>/dev/null
QTWEBENGINE_DISABLE_SANDBOX=1 ./build/bench/bench_pagecommands 2>/dev/null
QTWEBENGINE_DISABLE_SANDBOX=1 ./build/bench/bench_openpages 2>/dev/null
# A hung page, with the browser's own process model and with a renderer for every tab.
(unset QTWEBENGINE_CHROMIUM_FLAGS; QTWEBENGINE_DISABLE_SANDBOX=1 ./build/bench/bench_hungsite 2>/dev/null)
QTWEBENGINE_CHROMIUM_FLAGS="--disable-gpu --process-per-tab" QTWEBENGINE_DISABLE_SANDBOX=1 ./build/bench/bench_hungsite 2>/dev/null
