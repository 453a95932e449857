#!/usr/bin/env bash
# Builds the fuzz targets with clang into build-fuzz/ and runs each.
#   scripts/fuzz.sh            a short run of each (seconds; part of the test command)
#   scripts/fuzz.sh 10000000   that many executions of each
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
runs="${1:-}"
cmake -S "$here/fuzz" -B "$here/build-fuzz" -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$here/build-fuzz" -j2 >/dev/null
export QT_QPA_PLATFORM=offscreen
mkdir -p "$here/build-fuzz/corpus"
for t in closedrecord title address favorites history linereader; do
  corpus="$here/build-fuzz/corpus/$t"
  mkdir -p "$corpus"
  if [ -n "$runs" ]; then
    limit=(-runs="$runs")
  else
    limit=(-max_total_time=5)
  fi
  # -max_len keeps single inputs small enough for many runs a second; the corpus
  # carries what was learnt from one run to the next.
  # Inputs that once found a fault are read every run; new findings land in build-fuzz/.
  regressions=()
  [ -d "$here/fuzz/regressions/$t" ] && regressions=("$here/fuzz/regressions/$t")
  "$here/build-fuzz/fuzz_$t" "${limit[@]}" -max_len=4096 -print_final_stats=1 -artifact_prefix="$here/build-fuzz/" \
    "$corpus" "${regressions[@]}" \
    > "$here/build-fuzz/fuzz_$t.log" 2>&1 || { tail -40 "$here/build-fuzz/fuzz_$t.log"; echo "fuzz_$t: FAILED"; exit 1; }
  echo "fuzz_$t: $(grep -E 'stat::number_of_executed_units' "$here/build-fuzz/fuzz_$t.log" | awk '{print $2}') runs, no finding"
  passed=$((${passed:-0} + 1))
done
echo "fuzz: ${passed} passed, 0 failed"
