// Speed of the decoder: one typical purchase request with chip data, a
// UnionPay POS purchase in its dialect, the maximal sample (1,999 bytes,
// 93 fields, a long field 55), and reading the repository's definition
// file. Every decode includes its whole report, as the Parse button and
// iso8583dump produce it.
#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>
#include <string>

#include "decode/decode_request.h"
#include "decode/definition_file.h"
#include "decode/field_table.h"

namespace {

const std::string kDefinitionPath = std::string(SOURCE_DIR) + "/bitmap.ini";

std::string read_file(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

void load_definitions(benchmark::State& state) {
  if (load_field_defs(kDefinitionPath.c_str()) != 0) state.SkipWithError("cannot read bitmap.ini");
}

// Decodes `text` over and over into one report, as iso8583dump does.
void decode_repeatedly(benchmark::State& state, const std::string& text) {
  Report report;
  if (decode_request(text, &report) != DecodeOutcome::kUnpacked) {
    state.SkipWithError("the message does not decode");
    return;
  }
  for (auto _ : state) {
    decode_request(text, &report);
    benchmark::DoNotOptimize(report.data());
  }
  state.SetItemsProcessed(state.iterations());
  state.counters["report_bytes"] = static_cast<double>(report.size());
}

void BM_DecodeTypicalPurchase(benchmark::State& state) {
  load_definitions(state);
  decode_repeatedly(state, read_file(std::string(SOURCE_DIR) + "/examples/purchase.hex"));
}
BENCHMARK(BM_DecodeTypicalPurchase);

// A UnionPay POS purchase with its dialect: header, BCD type and lengths,
// packed numbers and track 2, decoded with its report.
void BM_DecodeUnionPayPos(benchmark::State& state) {
  if (load_field_defs(SOURCE_DIR "/dialects/unionpay-pos.ini") != 0) {
    state.SkipWithError("cannot read dialects/unionpay-pos.ini");
  }
  decode_repeatedly(state, read_file(std::string(SOURCE_DIR) + "/examples/unionpay-pos.hex"));
}
BENCHMARK(BM_DecodeUnionPayPos);

// The largest message a paste holds: every short field filled and a long
// field 55.
void BM_DecodeMaximalMessage(benchmark::State& state) {
  load_definitions(state);
  decode_repeatedly(state, read_file(std::string(SOURCE_DIR) + "/examples/maximal.hex"));
}
BENCHMARK(BM_DecodeMaximalMessage);

void BM_ParseDefinitionFile(benchmark::State& state) {
  const std::string contents = read_file(kDefinitionPath);
  for (auto _ : state) benchmark::DoNotOptimize(parse_field_defs(contents));
  if (field_defs[128].number != 128) state.SkipWithError("bitmap.ini was not read whole");
}
BENCHMARK(BM_ParseDefinitionFile);

void BM_LoadDefinitionFile(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(load_field_defs(kDefinitionPath.c_str()));
  if (field_defs[128].number != 128) state.SkipWithError("bitmap.ini was not read whole");
}
BENCHMARK(BM_LoadDefinitionFile);

}  // namespace

BENCHMARK_MAIN();
