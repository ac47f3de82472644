#!/usr/bin/env bash
# Measures the decoder's speed. Builds a Release tree in build-bench and
# runs the Google Benchmark measurements (time per message with its report,
# with each other output form, packing, reading bitmap.ini, the guess and
# the comparison), then times
# iso8583dump --each-line over a file of 1,000,000 messages (the three
# sample messages repeated), next to cat of the same file as the floor,
# with UTF-8 and --raw output, JSON, explained and masked, --guess over
# 10,000 messages beside --raw over the same ones, and iso8583pack over the
# JSON of the same messages. Peak memory for 100,000 and
# 1,000,000 messages, and with every field defined at 9,999 bytes, shows
# that it grows with neither. Last, iso8583dump reading a packet capture
# of 1,000,000 messages, with tshark on the same capture.
#
# BASE=COMMIT also builds that commit, in a worktree under build-bench,
# and measures it in the same sitting, run for run in turn with this tree,
# with the ratio of every figure (now / base). Each Google Benchmark figure
# is the median of 5 repetitions, over BENCH_RUNS runs (default 3); each
# batch figure the best of BENCH_RUNS runs.
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=build-bench
runs=${BENCH_RUNS:-3}
samples=(examples/purchase.hex examples/response.hex examples/reversal.hex)
generator=$(command -v ninja >/dev/null && echo Ninja || echo "Unix Makefiles")

# Builds the benchmarks and the programs of the source tree `source` in `tree`.
build_tree() {
  local source=$1 tree=$2
  cmake -S "$source" -B "$tree" -G "$generator" -DCMAKE_BUILD_TYPE=Release \
    -DISO8583_BUILD_BENCHMARKS=ON -DISO8583_BUILD_TESTS=OFF >/dev/null
  cmake --build "$tree" -j "$(nproc)" --target decode_bench output_bench iso8583dump iso8583pack \
    >/dev/null
}

build_tree . "$build_dir"
trees=("$build_dir")
base=${BASE:-}
if [ -n "$base" ]; then
  base_source=$build_dir/base-source
  base_tree=$build_dir/base
  commit=$(git rev-parse --verify "$base^{commit}")
  if [ "$(git -C "$base_source" rev-parse HEAD 2>/dev/null)" != "$commit" ]; then
    git worktree remove --force "$base_source" 2>/dev/null || rm -rf "$base_source"
    git worktree add --force --detach "$base_source" "$commit" >/dev/null
  fi
  build_tree "$base_source" "$base_tree"
  trees+=("$base_tree")
  echo "== measured beside the base $(git log -1 --format='%h %s' "$commit" | cut -c1-70)"
fi

# Runs the Google Benchmark program `name` of every tree, the trees in turn,
# `runs` times, and prints the table of medians (and ratios).
compare_benchmarks() {
  local name=$1 new_runs=() base_runs=()
  for run in $(seq "$runs"); do
    for tree in "${trees[@]}"; do
      local out="$tree/$name-$run.json"
      "$tree/bench/$name" --benchmark_repetitions=5 --benchmark_format=json \
        --benchmark_report_aggregates_only=true >"$out" 2>/dev/null
      if [ "$tree" = "$build_dir" ]; then new_runs+=("$out"); else base_runs+=("$out"); fi
    done
  done
  if [ ${#base_runs[@]} -gt 0 ]; then
    python3 scripts/bench_compare.py "${new_runs[@]}" --base "${base_runs[@]}"
  else
    python3 scripts/bench_compare.py "${new_runs[@]}"
  fi
}

echo "== decoder benchmarks, CPU time (goals: the typical purchase with its report at most 0.40"
echo "   of commit 67e6d03's, under 1,000 ns; the UnionPay POS sample at most 0.8 of the typical)"
compare_benchmarks decode_bench
echo
echo "== output forms, typical message, decode included (goals: JSON at most 0.5 of 67e6d03's,"
echo "   the explanation at most 0.6)"
compare_benchmarks output_bench

# The guess and the comparison, in this tree only: a base may lack them.
cmake --build "$build_dir" -j "$(nproc)" --target guess_bench dialects >/dev/null
echo
echo "== the guess of one typical message by 7 candidates, and a request compared with its"
echo "   response, CPU time"
guess_runs=()
for run in $(seq "$runs"); do
  guess_runs+=("$build_dir/guess_bench-$run.json")
  "$build_dir/bench/guess_bench" --benchmark_repetitions=5 --benchmark_format=json \
    --benchmark_report_aggregates_only=true >"${guess_runs[-1]}" 2>/dev/null
done
python3 scripts/bench_compare.py "${guess_runs[@]}"

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

# A table row: a label, the message count, and the best seconds and peak
# memory of the command of this tree (and of the base's, with the ratio of
# their times). In the command, @TREE@ stands for the tree's folder.
report_row() {
  local label=$1 count=$2
  shift 2
  local row=() tree
  for tree in "${trees[@]}"; do
    local command=("${@//@TREE@/$tree}") seconds kb
    read -r seconds kb < <(best_of_runs "${command[@]}")
    row+=("$seconds" "$kb")
  done
  awk -v label="$label" -v count="$count" -v s="${row[0]}" -v kb="${row[1]}" \
      -v bs="${row[2]:-}" -v bkb="${row[3]:-}" 'BEGIN {
    rate = s > 0 ? sprintf("%12.0f", count / s) : sprintf("%12s", "(too fast)")
    printf "%-30s %9d %8.2f %s %9.1f", label, count, s, rate, kb / 1024
    if (bs != "") {
      brate = bs > 0 ? sprintf("%12.0f", count / bs) : sprintf("%12s", "-")
      printf " %s %9.1f %8.2f", brate, bkb / 1024, (bs > 0 ? s / bs : 0)
    }
    printf "\n" }'
}

dump=("@TREE@/cli/iso8583dump" --defs bitmap.ini --each-line)
small=$(messages_file 100000)
large=$(messages_file 1000000)
# Every field defined at 9,999 bytes, but for the fixed fields that the
# samples carry, so that every message still decodes: memory must not grow
# with a definition's maximum length.
widest="$build_dir/widest.ini"
carried=$(cat "${samples[@]}" | "$build_dir/cli/iso8583dump" --defs bitmap.ini --each-line --raw |
  awk -F'[][]' '/^fld\[/ { print $2 + 0 }' | sort -un | tr '\n' ' ')
awk -F'|' -v carried=" $carried" '
  BEGIN { OFS = "|" }
  /^ *[0-9]/ { field = $1 + 0; fixed[field] = ($3 + 0 == 0); line[field] = $0 }
  END {
    print "1|4|0"
    for (n = 2; n <= 128; ++n) {
      if (index(carried, " " n " ") && fixed[n]) print line[n]
      else if (index(carried, " " n " ")) { split(line[n], column, "|"); print n, 9999, column[3] }
      else print n, 9999, 4
    }
  }' bitmap.ini >"$widest"

echo
echo "== iso8583dump --each-line, best of $runs runs (goals: --raw 1,000,000 messages/s, --json"
echo "   700,000, in constant memory)"
heading="%-30s %9s %8s %12s %9s"
columns=("run" "messages" "seconds" "messages/s" "peak MB")
if [ -n "$base" ]; then
  heading+=" %12s %9s %8s"
  columns+=("base msg/s" "base MB" "now/base")
fi
# shellcheck disable=SC2059
printf "$heading\n" "${columns[@]}"
report_row "cat (floor)" 1000000 cat "$large"
report_row "iso8583dump --raw" 1000000 "${dump[@]}" --raw "$large"
report_row "iso8583dump (UTF-8)" 1000000 "${dump[@]}" "$large"
# Standard error on a pseudo-terminal, which shows the progress line.
report_row "  progress on a terminal" 1000000 script -qfec "@TREE@/cli/iso8583dump --defs bitmap.ini --each-line $large >/dev/null" /dev/null
report_row "iso8583dump (UTF-8)" 100000 "${dump[@]}" "$small"
report_row "  every field 9,999 bytes" 100000 "@TREE@/cli/iso8583dump" --defs "$widest" --each-line "$small"
report_row "iso8583dump --json" 1000000 "${dump[@]}" --json "$large"
report_row "iso8583dump --explain" 1000000 "${dump[@]}" --explain "$large"
report_row "  --json --explain --mask" 1000000 "${dump[@]}" --json --explain --mask "$large"
# The guess beside the decode it chooses, in this tree only.
(
  trees=("$build_dir")
  few=$(messages_file 10000)
  report_row "iso8583dump --raw" 10000 "${dump[@]}" --raw "$few"
  report_row "  --guess (goal: at most 10x)" 10000 "${dump[@]}" --guess "$few"
)
json_lines="$build_dir/messages-1000000.json"
[ -s "$json_lines" ] || "$build_dir/cli/iso8583dump" --defs bitmap.ini --each-line --json "$large" >"$json_lines"
report_row "iso8583pack" 1000000 "@TREE@/cli/iso8583pack" --defs bitmap.ini "$json_lines"

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
