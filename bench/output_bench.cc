// Speed of the output forms beyond the window's report, for one typical
// purchase request with chip data: its JSON, its explanation, masking, and
// packing it back from its JSON. Each includes the decode of the message's
// bytes, as iso8583dump and iso8583pack do for every message.
#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>
#include <string>

#include "decode/decoder.h"
#include "decode/definition_file.h"
#include "decode/message_text.h"
#include "explain/explain_report.h"
#include "json/message_json.h"
#include "json/pack_request_json.h"
#include "mask/card_data_mask.h"
#include "pack/message_packer.h"

namespace {

std::string read_file(const char* path) {
  std::ifstream file(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

// The decoder of the repository's definition file.
const Decoder& purchase_decoder() {
  static const Decoder decoder(parse_definitions(read_file(SOURCE_DIR "/bitmap.ini")).dialect);
  return decoder;
}

// The purchase request's bytes.
std::string purchase_bytes(benchmark::State& state) {
  std::string bytes;
  if (read_message_text(read_file(SOURCE_DIR "/examples/purchase.hex"), 0, &bytes).ending !=
      TextEnding::kMessage) {
    state.SkipWithError("the sample is not a message");
  }
  return bytes;
}

bool decode(const std::string& bytes, DecodedMessage* message) {
  return purchase_decoder().decode(reinterpret_cast<const unsigned char*>(bytes.data()),
                                   bytes.size(), message) == DecodeOutcome::kUnpacked;
}

// Decodes the purchase request over and over, each time running `output`
// on the decoded message and counting the bytes of `text` it leaves.
template <typename Output>
void decode_and_write(benchmark::State& state, bool mask, Output output) {
  const std::string bytes = purchase_bytes(state);
  DecodedMessage message;
  std::string text;
  for (auto _ : state) {
    if (!decode(bytes, &message)) state.SkipWithError("the sample does not decode");
    if (mask) mask_card_data(&message);
    text.clear();
    output(message, &text);
    benchmark::DoNotOptimize(text.data());
  }
  state.SetItemsProcessed(state.iterations());
  state.counters["output_bytes"] = static_cast<double>(text.size());
}

void BM_JsonTypicalPurchase(benchmark::State& state) {
  MessageJson json;
  decode_and_write(state, false, [&json](const DecodedMessage& message, std::string* text) {
    json.begin(text);
    json.add_decoded(message);
    json.end();
  });
}
BENCHMARK(BM_JsonTypicalPurchase);

void BM_ExplainTypicalPurchase(benchmark::State& state) {
  ExplanationWriter explanation;
  decode_and_write(state, false, [&explanation](const DecodedMessage& message, std::string* text) {
    explanation.write(message, text);
  });
}
BENCHMARK(BM_ExplainTypicalPurchase);

void BM_ExplainedMaskedJsonTypicalPurchase(benchmark::State& state) {
  MessageJson json(true);
  decode_and_write(state, true, [&json](const DecodedMessage& message, std::string* text) {
    json.begin(text);
    json.add_decoded(message);
    json.add_flag("masked");
    json.end();
  });
}
BENCHMARK(BM_ExplainedMaskedJsonTypicalPurchase);

void BM_PackTypicalPurchase(benchmark::State& state) {
  const std::string bytes = purchase_bytes(state);
  DecodedMessage message;
  std::string json_line;
  MessageJson json;
  json.begin(&json_line);
  if (!decode(bytes, &message)) state.SkipWithError("the sample does not decode");
  json.add_decoded(message);
  json.end();
  PackRequest request;
  std::string line, packed, error;
  for (auto _ : state) {
    line = json_line;
    if (!read_pack_request(&line, &request, &error) || !pack_message(purchase_decoder().dialect(), request, &packed, &error)) {
      state.SkipWithError(error.c_str());
    }
    benchmark::DoNotOptimize(packed.data());
  }
  if (packed != bytes) state.SkipWithError("the packed message differs from the sample");
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PackTypicalPurchase);

}  // namespace

BENCHMARK_MAIN();
