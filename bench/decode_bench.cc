// Speed of the decoder: one typical purchase request with chip data, a
// UnionPay POS purchase in its dialect, the maximal sample (1,999 bytes,
// 93 fields, a long field 55), and reading the repository's definition
// file. Every decode includes its whole report, as the Parse button and
// iso8583dump produce it.
#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>
#include <string>
#include <utility>

#include "decode/decoder.h"
#include "decode/definition_file.h"
#include "decode/field_report.h"
#include "decode/message_text.h"

namespace {

const std::string kDefinitionPath = std::string(SOURCE_DIR) + "/bitmap.ini";

std::string read_file(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

// A decoder of the definition file at `path`.
Decoder decoder_of(benchmark::State& state, const std::string& path) {
  Definitions definitions = parse_definitions(read_file(path));
  if (!definitions.complete) state.SkipWithError(("cannot read " + path).c_str());
  return Decoder(std::move(definitions.dialect));
}

// Decodes `text` over and over into one report, as iso8583dump does: the
// text read into bytes, decoded, and the report written.
void decode_repeatedly(benchmark::State& state, const Decoder& decoder, const std::string& text) {
  std::string bytes;
  DecodedMessage message;
  Report report;
  const auto decode = [&] {
    read_message_text(text, 0, &bytes);
    const DecodeOutcome outcome =
        decoder.decode(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), &message);
    write_report(message, &report);
    return outcome;
  };
  if (decode() != DecodeOutcome::kUnpacked) {
    state.SkipWithError("the message does not decode");
    return;
  }
  for (auto _ : state) {
    decode();
    benchmark::DoNotOptimize(report.data());
  }
  state.SetItemsProcessed(state.iterations());
  state.counters["report_bytes"] = static_cast<double>(report.size());
}

void BM_DecodeTypicalPurchase(benchmark::State& state) {
  decode_repeatedly(state, decoder_of(state, kDefinitionPath),
                    read_file(std::string(SOURCE_DIR) + "/examples/purchase.hex"));
}
BENCHMARK(BM_DecodeTypicalPurchase);

// A UnionPay POS purchase with its dialect: header, BCD type and lengths,
// packed numbers and track 2, decoded with its report; the dialect as it
// was before composite fields, so that the figures compare across commits.
void BM_DecodeUnionPayPos(benchmark::State& state) {
  decode_repeatedly(state, decoder_of(state, SOURCE_DIR "/bench/unionpay-pos-fields.ini"),
                    read_file(std::string(SOURCE_DIR) + "/examples/unionpay-pos.hex"));
}
BENCHMARK(BM_DecodeUnionPayPos);

// The same purchase with the shipped dialect, whose fields 60, 61 and 63
// are cut into their parts, each with its report line.
void BM_DecodeUnionPayPosComposites(benchmark::State& state) {
  decode_repeatedly(state, decoder_of(state, SOURCE_DIR "/dialects/unionpay-pos.ini"),
                    read_file(std::string(SOURCE_DIR) + "/examples/unionpay-pos.hex"));
}
BENCHMARK(BM_DecodeUnionPayPosComposites);

// The largest message a paste holds: every short field filled and a long
// field 55.
void BM_DecodeMaximalMessage(benchmark::State& state) {
  decode_repeatedly(state, decoder_of(state, kDefinitionPath),
                    read_file(std::string(SOURCE_DIR) + "/examples/maximal.hex"));
}
BENCHMARK(BM_DecodeMaximalMessage);

void BM_ParseDefinitionFile(benchmark::State& state) {
  const std::string contents = read_file(kDefinitionPath);
  for (auto _ : state) {
    Definitions definitions = parse_definitions(contents);
    if (!definitions.dialect.defines(128)) state.SkipWithError("bitmap.ini was not read whole");
    benchmark::DoNotOptimize(definitions);
  }
}
BENCHMARK(BM_ParseDefinitionFile);

void BM_LoadDefinitionFile(benchmark::State& state) {
  std::string contents;
  for (auto _ : state) {
    if (!read_definition_file(kDefinitionPath.c_str(), &contents)) state.SkipWithError("cannot read");
    Definitions definitions = parse_definitions(contents);
    if (!definitions.dialect.defines(128)) state.SkipWithError("bitmap.ini was not read whole");
    benchmark::DoNotOptimize(definitions);
  }
}
BENCHMARK(BM_LoadDefinitionFile);

}  // namespace

BENCHMARK_MAIN();
