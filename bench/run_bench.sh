#!/usr/bin/env bash
# Runs the benchmarks of a build made with -DBLOBXML_BENCH=ON and checks the
# performance targets: throughput over the fixture corpus (repeated runs,
# medians), peak heap and RSS of single conversions, start-up time.
#
# usage: bench/run_bench.sh <build-dir> [<repetitions>]
#
# Results go to <build-dir>/bench-results/. Exits 1 when a target is missed.
set -euo pipefail

build=${1:?usage: run_bench.sh <build-dir> [<repetitions>]}
repetitions=${2:-10}
source_dir=$(cd "$(dirname "$0")/.." && pwd)
fixtures=$source_dir/tests/fixtures
out=$build/bench-results
mkdir -p "$out"

echo "== throughput ($repetitions repetitions, medians)"
"$build/bench/blobxml_bench" "$fixtures" \
  --benchmark_repetitions="$repetitions" \
  --benchmark_report_aggregates_only=true \
  --benchmark_out="$out/throughput.json" --benchmark_out_format=json

echo "== peak heap"
"$build/bench/blobxml_bench_memory" "$fixtures" "$out/messages" > "$out/memory.txt"

if command -v hyperfine > /dev/null; then
  echo "== start-up (hyperfine)"
  hyperfine -N --warmup 50 --runs 500 --export-json "$out/startup.json" \
    "$build/bench/blobxml_bench_empty" "$build/blobxml" \
    "$build/blobxml -i $fixtures/cert/certificate_ec_v1.der -t Certificate"
fi

echo
python3 "$source_dir/bench/summarize.py" "$out" "$build" "$fixtures"
