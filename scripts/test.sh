#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (unit tests and real-engine window tests).
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
bash "$here/scripts/setup.sh"
bash "$here/scripts/build.sh" -DBUILD_TESTING=ON -DVELMO_WERROR=ON
export QT_QPA_PLATFORM=offscreen
if [ "$(id -u)" -eq 0 ]; then
  export QTWEBENGINE_DISABLE_SANDBOX=1
fi
cd "$here/build"
ctest --output-on-failure --timeout 600 "$@"
# A short run of every fuzz target (a few seconds each).
bash "$here/scripts/fuzz.sh"
