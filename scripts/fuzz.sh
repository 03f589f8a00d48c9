#!/usr/bin/env bash
# Builds the fuzz targets natively with clang (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) and runs each for a bounded time from its seed
# corpus. Any finding fails the run; the input that caused it is left in
# build/fuzz/ as crash-* (or leak-*, timeout-*).
#   bash scripts/fuzz.sh            20 s per target
#   VANTORA_FUZZ_SECONDS=300 bash scripts/fuzz.sh
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${VANTORA_FUZZ_SECONDS:-20}
out=build/fuzz
mkdir -p "$out"
flags=(-std=c++17 -g -O1 -I. -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all)

declare -A sources=(
  [sjis_text]="app/sjis_text.cpp"
  [setting_value]="app/setting_value.cpp"
)

status=0
for target in sjis_text setting_value; do
  clang++ "${flags[@]}" ${sources[$target]} "tests/fuzz/${target}_fuzz.cpp" -o "$out/$target"
  # New inputs go to a scratch corpus; the seeds in the repository stay as they are.
  rm -rf "$out/$target-corpus"
  mkdir -p "$out/$target-corpus"
  echo "== fuzzing $target for ${seconds}s"
  if ! (cd "$out" && "./$target" -max_total_time="$seconds" -print_final_stats=1 \
        "$target-corpus" "../../tests/fuzz/corpus/$target" 2>&1 | tail -n 12); then
    status=1
  fi
done
exit $status
