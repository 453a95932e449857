#!/usr/bin/env bash
# Start-up and memory measured from outside, against the floor (one bare QWebEngineView
# on the same Qt, built from ../shared/peerbench/floor), round-robin in one run:
#   start -> titled window (simple page), heavy page, PSS/USS, 10 heavy tabs opened by a
#   page; then the cost of each blank tab opened with F4.
# Run once with the engine kept off the GPU and once on the default drawing path.
# usage: bench/startup.sh [ROUNDS=5]   (as root; Xvfb, xdotool and python3 needed)
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
rounds="${1:-5}"
peer="$here/../shared/peerbench"
[ -d "$peer" ] || { echo "no peerbench at $peer" >&2; exit 1; }
bash "$here/scripts/build.sh" -- velmo >/dev/null
# Both drawing paths: the engine kept off the GPU (--disable-gpu, both programs), and
# the default one (no flags: OpenGL for the floor; for us what the machine calls for).
echo "## engine off the GPU (--disable-gpu)"
bash "$peer/compare.sh" "$here/build/velmo" "$rounds"
echo "## default drawing path (PEERBENCH_GL=1)"
PEERBENCH_GL=1 bash "$peer/compare.sh" "$here/build/velmo" "$rounds"

# Blank tabs: PSS before and after five F4 presses, on the real program (bench/blanktabs.py).
python3 "$here/bench/blanktabs.py" "$here/build/velmo" 3 5
