#!/usr/bin/env bash
# Builds the whole suite with the address and undefined-behaviour sanitizers into
# build-asan/ and runs every test there. Arguments go to ctest (e.g. -R tst_tabbook).
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
bash "$here/scripts/setup.sh"
cmake -S "$here" -B "$here/build-asan" -DCMAKE_BUILD_TYPE=Debug -DBUILD_TESTING=ON -DVELMO_SANITIZE=ON >/dev/null
cmake --build "$here/build-asan" -j2
export QT_QPA_PLATFORM=offscreen
if [ "$(id -u)" -eq 0 ]; then
  export QTWEBENGINE_DISABLE_SANDBOX=1
fi
# The engine library frees some of its own objects with a sized delete that does not
# match their allocation; that is inside QtWebEngine, not ours, so the check is off.
# Leaks are reported from Qt's and fontconfig's process-lifetime caches; they are not
# checked here.
export ASAN_OPTIONS="new_delete_type_mismatch=0:detect_leaks=0:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
cd "$here/build-asan"
ctest --output-on-failure --timeout 1200 "$@"
