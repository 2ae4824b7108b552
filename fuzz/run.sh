#!/usr/bin/env bash
# Runs the fuzz targets built by the fuzz preset, each for SECONDS (default 30): first the inputs it once failed
# on (fuzz/regressions/<target>), then a search from its committed seeds (fuzz/corpus/<target>). New inputs go to
# build/fuzz/corpus/<target>, never to the seeds; a failing input is kept under build/fuzz/crashes. Prints one
# PASS or FAIL line per target with the executions made; the exit status is 0 only if every target passed.
# Usage: bash fuzz/run.sh [SECONDS] [TARGET...]   (targets: settings command_line bmp scale_rotate)
set -uo pipefail
export LC_ALL=C  # the fuzzers' statistics are read as their C locale prints them
cd "$(dirname "${BASH_SOURCE[0]}")/.." || exit 1

seconds=${1:-30}
shift $(($# > 0 ? 1 : 0))
targets=("$@")
((${#targets[@]})) || targets=(settings command_line bmp scale_rotate)
bin=build/fuzz/fuzz
failed=0

for target in "${targets[@]}"; do
  program=$bin/fuzz_$target log=build/fuzz/$target.log
  if [[ ! -x $program ]]; then
    echo "FAIL: fuzz_$target is not built (cmake --preset fuzz && cmake --build --preset fuzz)"
    failed=1
    continue
  fi
  regressions=(fuzz/regressions/"$target"/*)
  if [[ -e ${regressions[0]} ]] && ! "$program" "${regressions[@]}" >"$log" 2>&1; then
    echo "FAIL: fuzz_$target fails on a kept regression input:"
    grep -E 'Running:|ERROR|SUMMARY|abort' "$log" | tail -n 5
    failed=1
    continue
  fi
  mkdir -p "build/fuzz/corpus/$target" build/fuzz/crashes
  if "$program" -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix=build/fuzz/crashes/"$target"- \
    "build/fuzz/corpus/$target" "fuzz/corpus/$target" >"$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "PASS: fuzz_$target: ${runs:-?} executions in $seconds s, nothing found"
  else
    echo "FAIL: fuzz_$target found a failing input:"
    grep -E 'ERROR|SUMMARY|Test unit written|abort|wrote|drew' "$log" | tail -n 6
    failed=1
  fi
done
exit "$failed"
