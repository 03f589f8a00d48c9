#!/usr/bin/env bash
# Builds the 32-bit benchmark with the shipped Release flags and runs it under
# Wine; prints a Markdown table of medians.
#   bash scripts/bench.sh                 N = 100, 1000, 3000, 5000
#   bash scripts/bench.sh 1000 2000       other window counts
#   bash scripts/bench.sh --cross [N ...] the shipped vantora.exe in a process of its own
# VANTORA_BENCH_MEMORY_REFRESHES (default 1000) sets the refreshes of the
# memory column, run at the first N.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
source scripts/wine-env.sh
trap vantora_cleanup EXIT

arch=i686
vantora_can_run_32bit || arch=x86_64
cmake -S . -B "build/bench-$arch" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="cmake/toolchain-$arch.cmake" -DBUILD_TESTING=ON >/dev/null
cmake --build "build/bench-$arch" --target refresh_bench vantora >/dev/null

vantora_start_display
vantora_prepare_prefix "$PWD/build/wineprefix-test" unmanaged
vantora_start_wineserver
cd "build/bench-$arch"
../../scripts/wine-run bench/refresh_bench.exe "$@"
