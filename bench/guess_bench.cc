// Speed of the guess and the comparison: one typical purchase read by the
// candidates iso8583dump tries (the repository's bitmap.ini, its variant
// with secondary=flagged and the five shipped dialects), and a purchase
// compared with its response, written for people.
#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>
#include <string>

#include "decode/decoder.h"
#include "decode/definition_file.h"
#include "decode/message_text.h"
#include "diff/diff_text.h"
#include "diff/message_diff.h"
#include "guess/dialect_guess.h"

namespace {

std::string read_file(const std::string& relative_path) {
  std::ifstream file(std::string(SOURCE_DIR) + "/" + relative_path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

// The bytes of the sample message `name`.
std::string sample(const char* name) {
  std::string bytes;
  read_message_text(read_file(std::string("examples/") + name + ".hex"), 0, &bytes);
  return bytes;
}

void BM_GuessTypicalPurchase(benchmark::State& state) {
  DialectGuess guess;
  guess.add_candidate("bitmap", read_file("bitmap.ini"), true);
  for (const char* dialect :
       {"unionpay-pos", "iso87-ascii", "iso87-binary", "iso93-ascii", "ebcdic"}) {
    guess.add_candidate(dialect, read_file(std::string("dialects/") + dialect + ".ini"), false);
  }
  const std::string bytes = sample("purchase");
  for (auto _ : state) {
    guess.read(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    benchmark::DoNotOptimize(guess.messages());
  }
}
BENCHMARK(BM_GuessTypicalPurchase);

void BM_DiffRequestAndResponse(benchmark::State& state) {
  const Decoder decoder(parse_definitions(read_file("bitmap.ini")).dialect);
  const std::string request_bytes = sample("purchase");
  const std::string response_bytes = sample("response");
  DecodedMessage request;
  DecodedMessage response;
  decoder.decode(reinterpret_cast<const unsigned char*>(request_bytes.data()),
                 request_bytes.size(), &request);
  decoder.decode(reinterpret_cast<const unsigned char*>(response_bytes.data()),
                 response_bytes.size(), &response);
  MessageDiff diff;
  std::string text;
  for (auto _ : state) {
    diff.compare(request, response, IgnoredPlaces());
    text.clear();
    write_diff_text(diff, &text);
    benchmark::DoNotOptimize(text.data());
  }
}
BENCHMARK(BM_DiffRequestAndResponse);

}  // namespace

BENCHMARK_MAIN();
