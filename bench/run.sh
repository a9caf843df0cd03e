#!/usr/bin/env bash
# Benchmark: builds a Release plmn, generates the benchmark files in a
# temporary folder and prints, for each, the time and peak memory of a run
# beside the time `wc -l` takes to read the same file. Then runs the
# decode_line micro-benchmark, where Google Benchmark is installed.
#
# Usage: bash bench/run.sh [build-folder]
# Needs: cmake, g++, and /usr/bin/time (Debian package `time`).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-bench}
runs=5  # each figure is the best of this many runs, the file in the page cache

if [[ ! -x /usr/bin/time ]]; then
  echo "bench/run.sh needs /usr/bin/time: apt-get install time" >&2
  exit 1
fi

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" --parallel >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$build/plmn_generate" realistic 300M >"$work/realistic.txt"
"$build/plmn_generate" oneline 200M >"$work/oneline.txt"
"$build/plmn_generate" distinct 100M >"$work/distinct.txt"
cp examples/oplmnwact.txt "$work/tiny.txt"

# Best wall-clock seconds of `runs` runs of a command, its output discarded.
best_seconds() {
  local best="" start end t
  for ((i = 0; i < runs; i++)); do
    start=$EPOCHREALTIME
    "$@" >/dev/null || true
    end=$EPOCHREALTIME
    t=$(echo "$end - $start" | bc)
    if [[ -z $best ]] || (($(echo "$t < $best" | bc))); then best=$t; fi
  done
  printf '%.4f' "$best"
}

# Peak resident memory of one run, in KiB.
peak_kib() {
  /usr/bin/time -f '%M' -o "$work/time.out" "$@" >/dev/null
  cat "$work/time.out"
}

echo
echo "plmn $(git describe --always --dirty 2>/dev/null || echo '?'), $(nproc) cores," \
  "$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//')"
echo
printf '| %-10s | %8s | %9s | %8s | %7s | %11s | %9s | %9s | %6s |\n' \
  file MB keys seconds 'MB/s' 'peak RSS' 'RSS/key' 'wc -l s' 'x wc'
printf '|%s|\n' '------------|----------|-----------|----------|---------|-------------|-----------|-----------|--------'
for name in realistic oneline distinct tiny; do
  file="$work/$name.txt"
  cat "$file" >/dev/null  # into the page cache
  bytes=$(stat -c %s "$file")
  keys=$("$build/plmn" "$file" | wc -l)
  seconds=$(best_seconds "$build/plmn" "$file")
  kib=$(peak_kib "$build/plmn" "$file")
  wc_seconds=$(best_seconds wc -l "$file")
  printf '| %-10s | %8.1f | %9d | %8.4f | %7.0f | %7.1f MiB | %7.0f B | %9.4f | %6.1f |\n' \
    "$name" "$(echo "$bytes / 1000000" | bc -l)" "$keys" "$seconds" \
    "$(echo "$bytes / 1000000 / $seconds" | bc -l)" "$(echo "$kib / 1024" | bc -l)" \
    "$(echo "$kib * 1024 / ($keys + ($keys == 0))" | bc -l)" "$wc_seconds" \
    "$(echo "$seconds / $wc_seconds" | bc -l)"
done
echo
echo "Starting the process alone (plmn with no argument): $(best_seconds "$build/plmn") seconds."
echo "RSS/key is the peak resident memory divided by the number of distinct keys; it means"
echo "something for the distinct file, where every entry is a network of its own."

if [[ -x $build/decode_perftest ]]; then
  echo
  "$build/decode_perftest" --benchmark_min_time=0.5
fi
