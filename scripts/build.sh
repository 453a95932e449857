#!/usr/bin/env bash
# Configures and builds into build/ (two parallel jobs: the machines have two cores).
#   scripts/build.sh [cmake options...] [-- build targets...]
# Options given once stay in build/'s cache, so later plain builds keep them.
set -euo pipefail
cd "$(dirname "$0")/.."
options=()
targets=()
while [ $# -gt 0 ]; do
  if [ "$1" = "--" ]; then shift; targets=("$@"); break; fi
  options+=("$1"); shift
done
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo "${options[@]}" >/dev/null
if [ ${#targets[@]} -gt 0 ]; then
  cmake --build build -j2 --target "${targets[@]}"
else
  cmake --build build -j2
fi
