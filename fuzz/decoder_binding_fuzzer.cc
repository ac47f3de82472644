// Fuzz target: the C interface of the WebAssembly build, as the page and the
// npm package call it. The first byte is the flags; the rest holds, split
// at zero bytes, a definition file, a message (hexadecimal text, or bytes
// with the flag) and a JSON message to pack. A second decoder over the
// repository's bitmap.ini is used in between, which must not disturb the
// first: its JSON must not change. Every JSON result must parse, and
// the records of a hex dump must add up to the result's length. A guess
// with the definition file and bitmap.ini as candidates reads the message
// twice and must count both reads or neither; the message compared with
// itself must be equal, and compared across the two decoders, masked and
// leaving out the places the JSON part names, must give JSON.
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "fuzz/fuzz_support.h"
#include "rapidjson/document.h"
#include "wasm/decoder_binding.h"

namespace {

std::string_view next_part(std::string_view* rest) {
  const size_t end = rest->find('\0');
  const std::string_view part = rest->substr(0, end);
  rest->remove_prefix(end == std::string_view::npos ? rest->size() : end + 1);
  return part;
}

std::string result_text() { return std::string(iso8583_result(), iso8583_result_length()); }

void check_json(const std::string& text) {
  rapidjson::Document document;
  document.Parse(text.c_str(), text.size());
  fuzz_check(!document.HasParseError() && document.IsObject(), "a JSON result parses");
}

// Guesses the dialect of `message` read twice, with `definitions` and the
// repository's bitmap.ini as candidates.
void check_guess(std::string_view definitions, std::string_view message, int flags,
                 const std::string& shipped) {
  Iso8583Guess* guess = iso8583_guess_create();
  const std::string fuzzed = "fuzzed" + std::string(1, '\0') + std::string(definitions);
  const std::string sample = "bitmap" + std::string(1, '\0') + shipped;
  iso8583_guess_add(guess, fuzzed.data(), fuzzed.size(), 1);
  fuzz_check(iso8583_guess_add(guess, sample.data(), sample.size(), 0) == 0,
             "the repository's bitmap.ini is a candidate");
  const int first = iso8583_guess_read(guess, message.data(), message.size(), flags);
  const int second = iso8583_guess_read(guess, message.data(), message.size(), flags);
  fuzz_check(first == second, "a message read twice is read alike");
  iso8583_guess_result(guess);
  rapidjson::Document document;
  const std::string json = result_text();
  document.Parse(json.c_str(), json.size());
  fuzz_check(!document.HasParseError() && document.IsObject(), "the guess's JSON parses");
  fuzz_check(document["messages"].GetInt() == (first == 0 ? 2 : 0), "the guess counts its messages");
  iso8583_guess_destroy(guess);
}

// Compares `message` with itself, and across `decoder` and `other`.
void check_diff(Iso8583Decoder* decoder, Iso8583Decoder* other, std::string_view message,
                std::string_view ignore, int flags) {
  const std::string twice = std::string(message) + std::string(message) + std::string(ignore);
  const int same = iso8583_diff(decoder, decoder, twice.data(), message.size(), message.size(), 0,
                                flags);
  if (same == ISO8583_REJECTED) return;
  fuzz_check(same == ISO8583_UNPACKED, "a message equals itself");
  check_json(result_text());
  const int across = iso8583_diff(decoder, other, twice.data(), message.size(), message.size(),
                                  ignore.size(), flags | ISO8583_MASK);
  if (across != ISO8583_REJECTED) check_json(result_text());
}

void check_hexdump_records(int count) {
  size_t at = 0;
  const auto* bytes = reinterpret_cast<const unsigned char*>(iso8583_result());
  const size_t length = iso8583_result_length();
  for (int k = 0; k < count; ++k) {
    fuzz_check(at + 8 <= length, "a hex dump record's heading is within the result");
    const size_t size = bytes[at + 4] | bytes[at + 5] << 8 | bytes[at + 6] << 16 |
                        static_cast<size_t>(bytes[at + 7]) << 24;
    fuzz_check(size <= kMaxMessageBytes, "a hex dump message is cut to what a decode reads");
    at += 8 + size;
  }
  fuzz_check(at == length, "the hex dump records fill the result");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const int flags = data[0] & (ISO8583_INPUT_BYTES | ISO8583_EXPLAIN | ISO8583_MASK);
  std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
  const std::string_view definitions = next_part(&rest);
  const std::string_view message = next_part(&rest);
  const std::string_view json = rest;

  static const std::string shipped = read_source_file("bitmap.ini");
  static Iso8583Decoder* const other = iso8583_decoder_create(shipped.data(), shipped.size());
  Iso8583Decoder* decoder = iso8583_decoder_create(definitions.data(), definitions.size());
  if (decoder == nullptr) {
    fuzz_check(std::strncmp(iso8583_result(), "line ", 5) == 0, "a definition error names its line");
    decoder = other;
  }
  iso8583_decode(decoder, message.data(), message.size(), flags);
  const std::string first = result_text();
  check_json(first);
  iso8583_report(other, message.data(), message.size(), flags);
  iso8583_decode(decoder, message.data(), message.size(), flags);
  fuzz_check(result_text() == first, "a decoder's definitions are read back after another's");
  iso8583_report(decoder, message.data(), message.size(), flags);
  iso8583_pack(decoder, json.data(), json.size());
  check_guess(definitions, message, flags, shipped);
  check_diff(decoder, other, message, json, flags);
  check_hexdump_records(iso8583_read_hexdump(message.data(), message.size()));
  if (decoder != other) iso8583_decoder_destroy(decoder);
  return 0;
}
