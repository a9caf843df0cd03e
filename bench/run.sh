#!/usr/bin/env bash
# Benchmark: builds a Release plmn, dynamically and statically linked, as
# the default (hardened) build and as one with -DPLMN_HARDEN=OFF, generates
# the benchmark files in a temporary folder (a fixed seed, so the same files
# every time) and prints three Markdown tables, the way doc/performance.md
# shows them:
#  - for each file, the time and peak memory of a run of the hardened
#    build, beside the time `wc -l` takes to read the same file; each time
#    is the best of 5 runs with the file in the page cache; the utf16 file
#    is the realistic one saved as UTF-16LE, so its row against
#    realistic's tells what reading UTF-16 costs;
#  - what the hardening costs on the large files: the hardened and the
#    unhardened plmn run in turn, the median time of each and the median of
#    the paired ratios;
#  - the start-up, of each build: a run on the small example file against
#    a static C program whose main only returns 0, run in turn: the median
#    time of each, and the median of the paired ratios.
# Then it runs the decode_line micro-benchmark, where Google Benchmark is
# installed.
#
# Usage: bash bench/run.sh [build-folder]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-bench}
runs=5            # each time in the first table is the best of this many runs
startup_runs=101  # paired runs behind each start-up figure
hardening_runs=21 # paired runs behind each hardened-against-unhardened figure

# The commands this needs, each with the Debian package that has it.
missing=()
for need in cmake:cmake g++:g++ cc:gcc /usr/bin/time:time awk:mawk wc:coreutils; do
  command -v "${need%%:*}" >/dev/null || missing+=("${need#*:}")
done
if ((${#missing[@]} > 0)); then
  echo "bench/run.sh needs more packages: apt-get install ${missing[*]}" >&2
  exit 1
fi

echo "Building..." >&2
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" --parallel "$(nproc)" >/dev/null
# The other builds need only the tool: the static one, and both again
# without the hardening.
tool_build() {
  local dir=$1
  shift
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF "$@" >/dev/null
  cmake --build "$dir" --parallel "$(nproc)" --target plmn >/dev/null
}
tool_build "$build-static" -DPLMN_STATIC=ON
tool_build "$build-unhardened" -DPLMN_HARDEN=OFF
tool_build "$build-unhardened-static" -DPLMN_HARDEN=OFF -DPLMN_STATIC=ON

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf 'int main(void) { return 0; }\n' >"$work/noop.c"
cc -O2 -static -o "$work/noop" "$work/noop.c"

echo "Generating the files..." >&2
"$build/plmn_generate" realistic 300M >"$work/realistic.txt"
"$build/plmn_generate" utf16 300M >"$work/utf16.txt"
"$build/plmn_generate" oneline 200M >"$work/oneline.txt"
"$build/plmn_generate" distinct 100M >"$work/distinct.txt"
cp examples/oplmnwact.txt "$work/tiny.txt"

# Best wall-clock seconds of `runs` runs of a command, its output discarded.
best_seconds() {
  local best="" start end
  for ((i = 0; i < runs; i++)); do
    start=${EPOCHREALTIME/[.,]/}
    "$@" >/dev/null || true
    end=${EPOCHREALTIME/[.,]/}
    if [[ -z $best ]] || ((end - start < best)); then best=$((end - start)); fi
  done
  awk -v us="$best" 'BEGIN { printf "%.4f", us / 1e6 }'
}

# Two commands run in turn `hardening_runs` times on the same file: the
# median wall-clock seconds of each and the median of the paired ratios,
# second / first. Running them in turn, each pair in the other order from
# the last, spreads whatever else the machine does over both alike.
paired_seconds() {
  local first=$1 second=$2 file=$3 a b
  for ((i = 0; i < hardening_runs; i++)); do
    if ((i % 2 == 0)); then
      run_us "$first" "$file"; a=$us
      run_us "$second" "$file"; b=$us
    else
      run_us "$second" "$file"; b=$us
      run_us "$first" "$file"; a=$us
    fi
    echo "$a $b"
  done >"$work/pairs"
  echo "$(cut -d' ' -f1 "$work/pairs" | median) $(cut -d' ' -f2 "$work/pairs" | median)" \
    "$(awk '{ printf "%.6f\n", $2 / $1 }' "$work/pairs" | median)"
}
# Sets `us` to the wall-clock microseconds of one run of a command, its
# output discarded.
run_us() {
  local start=${EPOCHREALTIME/[.,]/}
  "$@" >/dev/null
  us=$((${EPOCHREALTIME/[.,]/} - start))
}
# The median of the `hardening_runs` numbers on standard input, one a line.
median() { sort -n | sed -n "$(((hardening_runs + 1) / 2))p"; }

# Peak resident memory of one run, in KiB.
peak_kib() {
  /usr/bin/time -f '%M' -o "$work/time.out" "$@" >/dev/null
  cat "$work/time.out"
}

echo "Measuring..." >&2
echo "plmn $(git describe --always --dirty 2>/dev/null || echo '?'), the default (hardened) build, on" \
  "$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'), $(nproc) cores," \
  "$(. /etc/os-release && echo "$PRETTY_NAME"), $(g++ -dumpfullversion | sed 's/^/GCC /')," \
  "$(date +%Y-%m-%d):"
echo
echo '| file | MB | networks | seconds | MB/s | peak RSS MiB | RSS bytes/network | `wc -l` seconds | × `wc -l` |'
echo '|---|--:|--:|--:|--:|--:|--:|--:|--:|'
for name in realistic utf16 oneline distinct tiny; do
  file="$work/$name.txt"
  cat "$file" >/dev/null  # into the page cache
  bytes=$(wc -c <"$file")
  keys=$("$build/plmn" "$file" | wc -l)
  seconds=$(best_seconds "$build/plmn" "$file")
  kib=$(peak_kib "$build/plmn" "$file")
  wc_seconds=$(best_seconds wc -l "$file")
  awk -v name="$name" -v bytes="$bytes" -v keys="$keys" -v s="$seconds" -v kib="$kib" \
    -v wc="$wc_seconds" 'BEGIN {
      printf "| %s | %.1f | %d | %.4f | %.0f | %.1f | %.0f | %.4f | %.1f |\n", name, bytes / 1e6,
        keys, s, bytes / 1e6 / s, kib / 1024, kib * 1024 / (keys ? keys : 1), wc, s / wc
    }'
done

echo
echo "| hardened against \`-DPLMN_HARDEN=OFF\`, $hardening_runs paired runs | hardened seconds | unhardened seconds | × unhardened |"
echo '|---|--:|--:|--:|'
for name in realistic oneline; do
  read -r unhardened hardened ratio < <(paired_seconds "$build-unhardened/plmn" "$build/plmn" \
    "$work/$name.txt")
  awk -v name="$name" -v h="$hardened" -v u="$unhardened" -v r="$ratio" \
    'BEGIN { printf "| %s | %.4f | %.4f | %.3f |\n", name, h / 1e6, u / 1e6, r }'
done

echo
echo "| start-up, $startup_runs paired runs | seconds | static C program seconds | × static C program |"
echo '|---|--:|--:|--:|'
for kind in static dynamic "static, unhardened" "dynamic, unhardened"; do
  case $kind in
    static) program=$build-static/plmn ;;
    dynamic) program=$build/plmn ;;
    "static, unhardened") program=$build-unhardened-static/plmn ;;
    "dynamic, unhardened") program=$build-unhardened/plmn ;;
  esac
  read -r base seconds ratio < <("$build/plmn_startup" "$startup_runs" "$work/noop" \
    "$program" "$work/tiny.txt")
  printf '| `plmn examples/oplmnwact.txt`, %s | %.5f | %.5f | %.2f |\n' \
    "$kind" "$seconds" "$base" "$ratio"
done

if [[ -x $build/decode_perftest ]]; then
  echo
  "$build/decode_perftest" --benchmark_min_time=0.5
fi
