// Times the C interface of the WebAssembly build compiled natively, on one
// message from its bytes: the UTF-8 report, the JSON text and the record
// of iso8583dump --json, the calls the npm package makes of the module.
// Each figure is the best of ROUNDS rounds (5 unless told) of about half a
// second, after one that warms up, as bench/node/decode_speed.mjs times the
// package; it runs this program for one round at a time, in turn with its
// own rounds, so that the same work stands beside it in native code.
// usage: binding_speed DEFINITIONS MESSAGE.hex [CALL [ROUNDS]]
// prints a line for each call (or for CALL: report, json or record): its
// name and the microseconds it takes.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "decode/message_text.h"
#include "wasm/decoder_binding.h"

namespace {

std::string read_file(const char* path) {
  std::ifstream file(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

// Microseconds per call of `call`: the best of `rounds` rounds of about
// half a second, after one round that warms up.
template <typename Call>
double time_calls(int rounds, Call call) {
  using Clock = std::chrono::steady_clock;
  double best = 1e300;
  for (int round = 0; round <= rounds; ++round) {
    long count = 0;
    const Clock::time_point start = Clock::now();
    double elapsed = 0;
    while (elapsed < 0.5) {
      for (int k = 0; k < 200; ++k) call();
      count += 200;
      elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    }
    if (round > 0 && 1e6 * elapsed / count < best) best = 1e6 * elapsed / count;
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3 || argc > 5) {
    std::fprintf(stderr, "usage: binding_speed DEFINITIONS MESSAGE.hex [CALL [ROUNDS]]\n");
    return 2;
  }
  const std::string only = argc > 3 ? argv[3] : "";
  const int rounds = argc > 4 ? std::atoi(argv[4]) : 5;
  const std::string definitions = read_file(argv[1]);
  Iso8583Decoder* decoder = iso8583_decoder_create(definitions.data(), definitions.size());
  std::string bytes;
  if (decoder == nullptr ||
      read_message_text(read_file(argv[2]), 0, &bytes).ending != TextEnding::kMessage) {
    std::fprintf(stderr, "binding_speed: cannot read %s or %s\n", argv[1], argv[2]);
    return 2;
  }
  const struct {
    const char* name;
    int (*call)(Iso8583Decoder*, const char*, size_t, int);
    int flags;
  } calls[] = {
      {"report", iso8583_report, ISO8583_INPUT_BYTES},
      {"json", iso8583_decode, ISO8583_INPUT_BYTES},
      {"record", iso8583_decode, ISO8583_INPUT_BYTES | ISO8583_RECORD},
  };
  for (const auto& each : calls) {
    if (!only.empty() && only != each.name) continue;
    const double microseconds =
        time_calls(rounds, [&] { each.call(decoder, bytes.data(), bytes.size(), each.flags); });
    std::printf("%s %.3f\n", each.name, microseconds);
  }
  iso8583_decoder_destroy(decoder);
  return 0;
}
