#!/usr/bin/env bash
# Kills the real browser with SIGKILL at chosen moments after Ctrl+W closed a tab, then
# reads every file it keeps, starts it again and ends that run normally. Counts, for each
# moment: files that did not parse, the closed page already among the closed pages on disk,
# lost from both the list kept against a crash and the closed pages, offered in both, and its history rows after the next start
# (each must be 1). Needs Xvfb and xdotool (a window to press the keys in).
#   bash bench/faultrun.sh [runs per moment]
set -uo pipefail
cd "$(dirname "$0")/.."
RUNS=${1:-4}
BIN=$PWD/build/velmo
WORK=$(mktemp -d)
trap 'kill $SERVER $XVFB 2>/dev/null; rm -rf "$WORK"' EXIT
mkdir -p "$WORK/site"
for t in A B; do
  printf '<!DOCTYPE html><html><head><meta charset="utf-8"><title>Fault %s</title></head><body>%s</body></html>' "$t" "$t" >"$WORK/site/$t.html"
done
PORT=$((20000 + RANDOM % 20000))
python3 -m http.server "$PORT" --bind 127.0.0.1 --directory "$WORK/site" >/dev/null 2>&1 &
SERVER=$!
Xvfb :97 -screen 0 1280x900x24 >/dev/null 2>&1 &
XVFB=$!
export DISPLAY=:97 QTWEBENGINE_DISABLE_SANDBOX=1
unset XDG_CONFIG_HOME XDG_DATA_HOME XDG_CACHE_HOME VELMO_HOME
sleep 1

# Waits (up to 30 s) until the home's list kept against a crash names $2.
listed() {
  for _ in $(seq 300); do
    grep -qs "$2" $(find "$1" -name 'open-pages*.json' 2>/dev/null) && return 0
    sleep 0.1
  done
  return 1
}

printf '%-8s %5s %9s %9s %6s %6s %s\n' moment runs unparsed recorded lost twice "history rows of the closed page"
for moment in 0 0.05 0.1 0.2 0.3 0.5 0.8 1.5; do
  unparsed=0 lost=0 twice=0 recorded=0 rows=""
  for _ in $(seq "$RUNS"); do
    export HOME=$WORK/home-$RANDOM$RANDOM
    mkdir -p "$HOME"
    "$BIN" "http://127.0.0.1:$PORT/A.html" "http://127.0.0.1:$PORT/B.html" >/dev/null 2>&1 &
    pid=$!
    listed "$HOME" "Fault A" && listed "$HOME" "Fault B" || { echo "no list"; kill -9 $pid; continue; }
    list=$(find "$HOME" -name 'open-pages*.json' | head -1)
    closed=$(python3 -c 'import json,sys; l=json.load(open(sys.argv[1])); print(l["pages"][l.get("active",0)]["title"])' "$list")
    win=$(xdotool search --sync --onlyvisible --pid $pid --name "Fault" | head -1)
    xdotool windowfocus --sync "$win" key ctrl+w
    sleep "$moment"
    kill -9 $pid
    wait $pid 2>/dev/null
    result=$(python3 - "$HOME" "$closed" <<'PY'
import json, pathlib, sys
home, closed = pathlib.Path(sys.argv[1]), sys.argv[2]
bad = 0
in_list = False
for f in home.rglob('open-pages*.json'):
    try:
        in_list |= any(p["title"] == closed for p in json.loads(f.read_text())["pages"])
    except Exception:
        bad += 1
in_ring = False
for f in home.rglob('VM2008.ini'):
    try:
        in_ring |= closed in f.read_text(encoding='utf-8')
    except Exception:
        bad += 1
for f in home.rglob('History/*.dat'):
    try:
        f.read_bytes().decode('gbk')
    except Exception:
        bad += 1
print(bad, int(not in_list and not in_ring), int(in_list and in_ring), int(in_ring))
PY
)
    read -r b l t r <<<"$result"
    unparsed=$((unparsed + b)) lost=$((lost + l)) twice=$((twice + t)) recorded=$((recorded + r))
    # The next start writes the list's visits it has not written yet; then a normal end.
    "$BIN" >/dev/null 2>&1 &
    pid=$!
    xdotool search --sync --onlyvisible --pid $pid --class "" >/dev/null 2>&1
    sleep 3
    kill -TERM $pid
    wait $pid 2>/dev/null
    n=$(cat $(find "$HOME" -path '*History/*.dat') 2>/dev/null | grep -c ">$closed</a>")
    rows="$rows $n"
  done
  printf '%-8s %5s %9s %9s %6s %6s %s\n' "$moment" "$RUNS" "$unparsed" "$recorded" "$lost" "$twice" "$rows"
done
