#!/usr/bin/env bash
# Builds the benchmarks in Release (build-bench/) and runs them under one
# Markdown table. Each benchmark is one executable that prints table rows;
# add a new one to the list below and to bench/CMakeLists.txt. Arguments are
# passed to bench_mods (bash bench/run.sh --quick, for trying changes out).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-bench"
benchmarks=(bench_diff bench_paths bench_mods)

launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" >/dev/null
cmake --build "$build" -j 2 --target "${benchmarks[@]}" >/dev/null

echo "$(date) on $(nproc) cores, $(lscpu | sed -n 's/^Model name: *//p')"
echo
echo "| Operation | Input | Program | Wall time | CPU time | Peak memory |"
echo "|---|---|---|---|---|---|"
for b in "${benchmarks[@]}"; do
  if [ "$b" = bench_mods ]; then
    "$build/bench/$b" "$@"
  else
    "$build/bench/$b"
  fi
done
