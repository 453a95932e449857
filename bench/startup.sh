#!/usr/bin/env bash
# Start-up and memory measured from outside, against the floor (one bare QWebEngineView
# on the same Qt, built from ../shared/peerbench/floor), round-robin in one run:
#   start -> titled window (simple page), heavy page, PSS/USS, 10 heavy tabs opened by a
#   page; then the cost of each blank tab opened with F4.
# The floor's flags are the benchmark's: the engine is kept off the GPU (--disable-gpu).
# usage: bench/startup.sh [ROUNDS=5]   (as root; Xvfb, xdotool and python3 needed)
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
rounds="${1:-5}"
peer="$here/../shared/peerbench"
[ -d "$peer" ] || { echo "no peerbench at $peer" >&2; exit 1; }
bash "$here/scripts/build.sh" -- velmo >/dev/null
bash "$peer/compare.sh" "$here/build/velmo" "$rounds"

# Blank tabs: PSS before and after five F4 presses, on the real program (bench/blanktabs.py).
python3 "$here/bench/blanktabs.py" "$here/build/velmo" 3 5
