#!/usr/bin/env bash
# Runs each libFuzzer harness of a fuzz build for FUZZ_SECONDS seconds
# (default 300), or for FUZZ_RUNS executions when that is set, over its
# corpus in the build tree, which grows from run to run, the seeds made from
# the fixtures and the committed regression inputs.
# Stops at the first harness that finds a crash, a leak, undefined behaviour
# or a broken round trip; the input is then in <build>/artifacts/.
#   usage: run_fuzzers.sh [build directory, default build-fuzz]
# FUZZ_SEED fixes libFuzzer's random seed, to repeat a run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-build-fuzz}" && pwd)
seconds=${FUZZ_SECONDS:-300}
if [ -n "${FUZZ_RUNS:-}" ]; then limit=(-runs="$FUZZ_RUNS"); bound="$FUZZ_RUNS runs"
else limit=(-max_total_time="$seconds"); bound="${seconds}s"; fi

passed=0
for harness in der xml; do
  corpus=$build/corpus/$harness
  mkdir -p "$corpus" "$build/artifacts"
  args=("${limit[@]}" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
        -artifact_prefix="$build/artifacts/$harness-")
  if [ "$harness" = xml ]; then args+=(-dict="$build/seeds/xml.dict"); fi
  if [ -n "${FUZZ_SEED:-}" ]; then args+=(-seed="$FUZZ_SEED"); fi
  dirs=("$corpus" "$build/seeds/$harness")
  if [ -d "$root/fuzz/regressions/$harness" ]; then dirs+=("$root/fuzz/regressions/$harness"); fi
  echo "fuzz: fuzz_$harness for $bound"
  if ! "$build/fuzz_$harness" "${args[@]}" "${dirs[@]}"; then
    echo "fuzz: fuzz_$harness failed; the input is in $build/artifacts/" >&2
    echo "fuzz: $passed passed, 1 failed"
    exit 1
  fi
  passed=$((passed + 1))
done
echo "fuzz: $passed passed, 0 failed"
