#!/usr/bin/env bash
# Runs each libFuzzer target for a set time on a copy of its seed corpus.
# Usage: tools/run-fuzz.sh BUILD_DIR SECONDS TARGET...
# Fails at the first crash, leak or hang; the input that caused it is kept in
# BUILD_DIR/fuzz-artifacts/.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$1 seconds=$2
shift 2
artifacts="$build/fuzz-artifacts"
mkdir -p "$artifacts"
for t in "$@"; do
  work="$build/fuzz-corpus/$t"
  mkdir -p "$work"
  log="$build/fuzz-$t.log"
  echo "fuzz_$t: ${seconds}s"
  if ! ASAN_OPTIONS=detect_leaks=1 "$build/fuzz/fuzz_$t" "$work" "fuzz/corpus/$t" \
      -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
      -print_final_stats=1 -artifact_prefix="$artifacts/$t-" >"$log" 2>&1; then
    tail -n 60 "$log"
    echo "fuzz_$t failed; the input is in $artifacts/"
    exit 1
  fi
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo '?')
  echo "fuzz_$t: $runs runs, no crash"
done
