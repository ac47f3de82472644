#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz and runs each for
# FUZZ_SECONDS seconds (default 60), one after the other. Each target
# starts from its committed seed corpus under fuzz/corpus/ and keeps what
# it learns in fuzz/corpus-work/, which git ignores. A crash, a sanitizer
# report, a failed decode check, an input running over 5 seconds or an
# allocation over 256 MB fails the run; the input that caused it is saved
# in fuzz/corpus-work/artifacts/. Ends with each target's statistics.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${FUZZ_SECONDS:-60}
build_dir=build-fuzz
work_dir=fuzz/corpus-work
targets=(decode_request definition_file split_input hexdump capture_stream round_trip mask pack
         decoder_binding part_walk guess_diff)

generator=$(command -v ninja >/dev/null && echo Ninja || echo "Unix Makefiles")
CC=clang CXX=clang++ cmake -S . -B "$build_dir" -G "$generator" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DISO8583_BUILD_FUZZERS=ON -DISO8583_BUILD_TESTS=OFF >/dev/null
cmake --build "$build_dir" -j "$(nproc)" --target "${targets[@]/%/_fuzzer}"

# Options for libFuzzer besides the time: the longest input (a little over
# what the target reads), and the dictionary of definition-file tokens.
declare -A target_options=(
  [decode_request]="-max_len=4200"
  [definition_file]="-max_len=8192 -dict=fuzz/definition_file.dict"
  [split_input]="-max_len=12288 -dict=fuzz/definition_file.dict"
  [hexdump]="-max_len=8192"
  [capture_stream]="-max_len=16384"
  [round_trip]="-max_len=12288 -dict=fuzz/definition_file.dict"
  [mask]="-max_len=4096"
  [pack]="-max_len=16384 -dict=fuzz/pack.dict"
  [decoder_binding]="-max_len=16384 -dict=fuzz/definition_file.dict"
  [part_walk]="-max_len=1024"
  [guess_diff]="-max_len=12288 -dict=fuzz/definition_file.dict"
)
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1:suppressions=$PWD/scripts/ubsan-suppressions.txt

mkdir -p "$work_dir/artifacts"
failed=()
for target in "${targets[@]}"; do
  mkdir -p "$work_dir/$target"
  log="$work_dir/$target.log"
  echo "== fuzzing $target for ${seconds}s (log: $log)"
  # shellcheck disable=SC2086  # the options are separate words
  if ! "$build_dir/fuzz/${target}_fuzzer" \
      -max_total_time="$seconds" -timeout=5 -rss_limit_mb=2048 -malloc_limit_mb=256 \
      -print_final_stats=1 -artifact_prefix="$work_dir/artifacts/$target-" \
      ${target_options[$target]} "$work_dir/$target" "fuzz/corpus/$target" >"$log" 2>&1; then
    failed+=("$target")
    echo "!! $target failed:"
    grep -E -A 30 "^==[0-9]+==ERROR|runtime error|decode check failed|ALARM|out-of-memory|Test unit written" \
      "$log" | head -60 || tail -40 "$log"
  fi
done

echo
echo "== fuzzing summary (${seconds}s per target)"
for target in "${targets[@]}"; do
  log="$work_dir/$target.log"
  # A target that stopped early may lack some of these lines.
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  coverage=$(grep -Eo "cov: [0-9]+ ft: [0-9]+ corp: [0-9]+/[0-9]+[a-zA-Z]*" "$log" | tail -1 || true)
  printf '%-16s executions %-10s exec/s %-7s %s\n' "$target" "${runs:-?}" "${speed:-?}" \
    "${coverage:-?}"
done

if [ ${#failed[@]} -ne 0 ]; then
  echo "fuzzing found problems in: ${failed[*]}" >&2
  exit 1
fi
