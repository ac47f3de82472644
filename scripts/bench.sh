#!/usr/bin/env bash
# Measures the decoder's speed. Builds a Release tree in build-bench, runs
# the Google Benchmark measurements (time per message with its report, with
# each other output form, packing, reading bitmap.ini, the guess and the
# comparison), then times
# iso8583dump --each-line over a file of 1,000,000 messages (the three
# sample messages repeated), next to cat of the same file as the floor, with
# UTF-8 and --raw output, JSON, explained and masked, --guess over 10,000
# messages beside --raw over the same ones, and iso8583pack over
# the JSON of the same messages. Peak memory
# for 100,000 and 1,000,000 messages shows that it does not grow with the
# input. Last, iso8583dump reading a packet capture of 1,000,000 messages,
# with tshark on the same capture (its section at the end). Each batch
# timing is the best of BENCH_RUNS runs (default 3).
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=build-bench
runs=${BENCH_RUNS:-3}
samples=(examples/purchase.hex examples/response.hex examples/reversal.hex)

generator=$(command -v ninja >/dev/null && echo Ninja || echo "Unix Makefiles")
cmake -S . -B "$build_dir" -G "$generator" -DCMAKE_BUILD_TYPE=Release \
  -DISO8583_BUILD_BENCHMARKS=ON -DISO8583_BUILD_TESTS=OFF >/dev/null
cmake --build "$build_dir" -j "$(nproc)" --target decode_bench output_bench guess_bench iso8583dump \
  iso8583pack dialects >/dev/null

echo "== decoder benchmarks: median of 5 repetitions (goals: a typical message in under 1,000 ns,"
echo "   the UnionPay POS sample in under 1,300 ns)"
"$build_dir/bench/decode_bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
  --benchmark_display_aggregates_only=true 2>/dev/null | grep -E "^(Benchmark|-+$|BM_.*_median)"
echo
echo "== output forms, typical message, decode included: median of 5 repetitions (goals: JSON in"
echo "   under 1,000 ns, the explanation in under 2,000 ns)"
"$build_dir/bench/output_bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
  --benchmark_display_aggregates_only=true 2>/dev/null | grep -E "^(Benchmark|-+$|BM_.*_median)"

echo
echo "== the guess of one typical message by 7 candidates, and a request compared with its"
echo "   response: median of 5 repetitions"
"$build_dir/bench/guess_bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
  --benchmark_display_aggregates_only=true 2>/dev/null | grep -E "^(Benchmark|-+$|BM_.*_median)"

# The file of `count` messages, one a line, made once.
messages_file() {
  local count=$1
  local file="$build_dir/messages-$count.hex"
  if [ ! -s "$file" ]; then
    awk -v count="$count" '{ line[NR] = $0 } END { for (k = 0; k < count; ++k) print line[k % NR + 1] }' \
      "${samples[@]}" >"$file.partial"
    mv "$file.partial" "$file"
  fi
  echo "$file"
}

# Runs a command `runs` times with its output thrown away and prints the
# best wall-clock seconds and the peak resident memory in kilobytes.
best_of_runs() {
  local best_seconds="" peak_kb=0 log="$build_dir/time.log"
  for _ in $(seq "$runs"); do
    if ! /usr/bin/time -v "$@" >/dev/null 2>"$log"; then
      echo "failed: $*" >&2
      cat "$log" >&2
      exit 1
    fi
    local seconds kb
    seconds=$(awk -F': ' '/Elapsed \(wall clock\)/ {
      n = split($2, part, ":"); s = 0; for (k = 1; k <= n; ++k) s = s * 60 + part[k]; print s }' "$log")
    kb=$(awk -F': ' '/Maximum resident set size/ { print $2 }' "$log")
    if [ -z "$best_seconds" ] || awk -v a="$seconds" -v b="$best_seconds" 'BEGIN { exit !(a < b) }'; then
      best_seconds=$seconds
    fi
    if [ "$kb" -gt "$peak_kb" ]; then peak_kb=$kb; fi
  done
  echo "$best_seconds $peak_kb"
}

report_row() {
  local label=$1 count=$2
  shift 2
  local seconds kb
  read -r seconds kb < <(best_of_runs "$@")
  awk -v label="$label" -v count="$count" -v s="$seconds" -v kb="$kb" 'BEGIN {
    rate = s > 0 ? sprintf("%12.0f", count / s) : sprintf("%12s", "(too fast)")
    printf "%-28s %9d %8.2f %s %10.1f\n", label, count, s, rate, kb / 1024 }'
}

dump=("$build_dir/cli/iso8583dump" --defs bitmap.ini --each-line)
small=$(messages_file 100000)
large=$(messages_file 1000000)

echo
echo "== iso8583dump --each-line, best of $runs runs (goals: --raw 1,000,000 messages/s, --json"
echo "   800,000, in constant memory)"
printf '%-28s %9s %8s %12s %10s\n' "run" "messages" "seconds" "messages/s" "peak MB"
report_row "cat (floor)" 1000000 cat "$large"
report_row "iso8583dump --raw" 1000000 "${dump[@]}" --raw "$large"
report_row "iso8583dump (UTF-8)" 1000000 "${dump[@]}" "$large"
# Standard error on a pseudo-terminal, which shows the progress line.
report_row "  progress on a terminal" 1000000 script -qfec "${dump[*]} $large >/dev/null" /dev/null
report_row "iso8583dump (UTF-8)" 100000 "${dump[@]}" "$small"
report_row "iso8583dump --json" 1000000 "${dump[@]}" --json "$large"
report_row "iso8583dump --explain" 1000000 "${dump[@]}" --explain "$large"
report_row "  --json --explain --mask" 1000000 "${dump[@]}" --json --explain --mask "$large"
report_row "iso8583dump --raw" 10000 "${dump[@]}" --raw "$(messages_file 10000)"
report_row "  --guess (goal: at most 10x)" 10000 "${dump[@]}" --guess "$(messages_file 10000)"
json_lines="$build_dir/messages-1000000.json"
[ -s "$json_lines" ] || "${dump[@]}" --json "$large" >"$json_lines"
report_row "iso8583pack" 1000000 "$build_dir/cli/iso8583pack" --defs bitmap.ini "$json_lines"

# ---------------------------------------------------------------------------
# Packet captures. iso8583dump --pcap over a generated capture of 1,000,000
# messages (about 1 GB: purchases and their responses of about a kilobyte,
# over 50 connections at a time), next to tshark's ISO 8583 dissector
# printing the same messages' fields (one run: it is slow); then the TCP
# stream reassembly alone, this program's own against libtins' stream
# follower, which it was chosen over.
capture_messages=1000000
capture="$build_dir/capture-$capture_messages.pcap"
cmake --build "$build_dir" -j "$(nproc)" --target make_bench_capture capture_reassembly_bench \
  >/dev/null
if [ ! -s "$capture" ]; then
  "$build_dir/bench/make_bench_capture" "$capture.partial" "$capture_messages" 8583
  mv "$capture.partial" "$capture"
fi

# Prints a table row from a count and a best_of_runs result.
print_row() {
  local label=$1 count=$2 seconds=$3 kb=$4
  awk -v label="$label" -v count="$count" -v s="$seconds" -v kb="$kb" 'BEGIN {
    printf "%-28s %9d %8.2f %12.0f %10.1f\n", label, count, s, count / s, kb / 1024 }'
}

pcap_dump=("$build_dir/cli/iso8583dump" --defs bitmap.ini --pcap "$capture")
echo
echo "== iso8583dump --pcap, $(($(stat -c %s "$capture") / 1000000)) MB capture, best of $runs runs" \
  "(goal: 20 times tshark, in under 100 MB)"
printf '%-28s %9s %8s %12s %10s\n' "run" "messages" "seconds" "messages/s" "peak MB"
read -r dump_seconds dump_kb < <(best_of_runs "${pcap_dump[@]}")
print_row "iso8583dump --pcap" "$capture_messages" "$dump_seconds" "$dump_kb"
read -r seconds kb < <(best_of_runs "${pcap_dump[@]}" --summary)
print_row "iso8583dump --pcap --summary" "$capture_messages" "$seconds" "$kb"
if command -v tshark >/dev/null; then
  read -r tshark_seconds tshark_kb < <(runs=1 best_of_runs tshark -r "$capture" \
    -d tcp.port==8583,iso8583 -o "iso8583.len_endian:Big endian" \
    -o "iso8583.binencode:Bin data not encoded" -O iso8583)
  print_row "tshark -O iso8583" "$capture_messages" "$tshark_seconds" "$tshark_kb"
  awk -v a="$tshark_seconds" -v b="$dump_seconds" \
    'BEGIN { printf "iso8583dump --pcap is %.1f times as fast as tshark\n", a / b }'
else
  echo "tshark is not installed: its row is left out"
fi

echo
echo "== TCP stream reassembly alone (packets in, stream bytes counted), best of $runs runs"
printf '%-28s %9s %8s %12s %10s\n' "reassembly" "packets" "seconds" "packets/s" "peak MB"
for kind in own libtins; do
  log="$build_dir/reassembly-$kind.log"
  "$build_dir/bench/capture_reassembly_bench" "$capture" "$kind" >"$log"
  packets=$(awk '{ print $3 }' "$log")
  read -r seconds kb < <(best_of_runs "$build_dir/bench/capture_reassembly_bench" "$capture" "$kind")
  print_row "$kind" "$packets" "$seconds" "$kb"
done
