#!/usr/bin/env bash
# Installs what is missing, builds, and starts the browser; an optional address is opened first.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
bash "$here/scripts/setup.sh"
bash "$here/scripts/build.sh" -- velmo
# Chromium refuses its sandbox as root.
if [ "$(id -u)" -eq 0 ]; then
  export QTWEBENGINE_DISABLE_SANDBOX=1
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: starting the browser inside a virtual X server (xvfb-run)."
  exec xvfb-run -a -s "-screen 0 1280x900x24" "$here/build/velmo" "$@"
fi
exec "$here/build/velmo" "$@"
