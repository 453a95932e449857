#!/usr/bin/env bash
# Start-up and memory measured from outside, against the floor (one bare QWebEngineView
# on the same Qt, built from ../shared/peerbench/floor), round-robin in one run:
#   start -> titled window (simple page), heavy page, PSS/USS, 10 heavy tabs opened by a
#   page; then the cost of each blank tab opened with F4.
# usage: bench/startup.sh [ROUNDS=5]   (as root; Xvfb, xdotool and python3 needed)
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
rounds="${1:-5}"
peer="$here/../shared/peerbench"
[ -d "$peer" ] || { echo "no peerbench at $peer" >&2; exit 1; }
bash "$here/scripts/build.sh" -- velmo >/dev/null
bash "$peer/compare.sh" "$here/build/velmo" "$rounds"

# Blank tabs: PSS with 1 tab and with 6 (five opened with F4), same run conditions.
out=$(mktemp -d)
work="${PEERBENCH_WORK:-${XDG_CACHE_HOME:-$HOME/.cache}/peerbench}"
for tabs in 1 6; do
  bash "$work/measure.sh" -l ours -p simple -K -t "$tabs" -n 3 -w 1 -o "$out" -- "$here/build/velmo" >/dev/null 2>&1 || true
done
python3 - "$out/runs.tsv" <<'PY'
import csv, sys, statistics as st
rows = list(csv.DictReader(open(sys.argv[1]), delimiter='\t'))
def med(tabs, col):
    v = [float(r[col]) for r in rows if int(r['tabs']) == tabs and r[col] not in ('', 'NA')]
    return st.median(v) if v else None
one, six = med(1, 'steady_MB'), med(6, 'steady_MB')
if one is None or six is None:
    print("blank tabs: no measurement")
else:
    print(f"\n| each blank tab (F4), PSS MB | {(six - one) / 5:.1f} |  (1 tab {one:.0f} MB, 6 tabs {six:.0f} MB)")
PY
