// Fuzz target: the C interface of the WebAssembly build, as the page and the
// npm package call it. The first byte is the flags, and above them the
// power of two that is the size of the pieces a stream is pushed in; the
// rest holds, split at zero bytes, a definition file, a message
// (hexadecimal text, or bytes with the flag) and a JSON message to pack.
// A second decoder over the repository's bitmap.ini is used in between,
// which must not disturb the first: its JSON must not change. Every JSON
// result must parse, and read back from its record it must be the same
// object; the records of a hex dump must add up to the result's length;
// and the message's text read as a stream of lines and of dumps, pushed in
// pieces, must give the same messages as pushed whole. A guess with the
// definition file and bitmap.ini as candidates reads the message twice and
// must count both reads or neither; the message compared with itself must
// be equal, and compared across the two decoders, masked and leaving out
// the places the JSON part names, must give JSON.
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "rapidjson/document.h"
#include "tests/record_reading.h"
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

// The messages of `text` read as a stream with `flags`, pushed in pieces
// of `piece` bytes: for each, its status and its JSON.
std::vector<std::string> stream_messages(Iso8583Decoder* decoder, std::string_view text, int flags,
                                         size_t piece) {
  std::vector<std::string> messages;
  const auto take = [&messages](int count) {
    const std::string batch = result_text();
    size_t at = 0;
    for (int k = 0; k < count; ++k) {
      fuzz_check(at + 8 <= batch.size(), "a stream message's heading is within the result");
      uint32_t heading[2];
      std::memcpy(heading, batch.data() + at, sizeof heading);
      fuzz_check(heading[1] <= batch.size() - at - 8, "a stream message is within the result");
      const std::string json = batch.substr(at + 8, heading[1]);
      check_json(json);
      messages.push_back(std::to_string(heading[0]) + json);
      at += 8 + (heading[1] + 3) / 4 * 4;
    }
    fuzz_check(at == batch.size(), "the stream messages fill the result");
  };
  Iso8583Lines* lines = iso8583_lines_open(decoder, flags);
  for (size_t at = 0; at < text.size(); at += piece) {
    const std::string_view part = text.substr(at, piece);
    iso8583_lines_push(lines, part.data(), part.size());
    for (int count; (count = iso8583_lines_next(lines, 3)) > 0;) take(count);
  }
  iso8583_lines_end(lines);
  for (int count; (count = iso8583_lines_next(lines, 3)) != ISO8583_END;) take(count);
  iso8583_lines_close(lines);
  return messages;
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
  // Records of the fresh decoder are read by fresh readers; those of the
  // shared one by readers that have read all its records before.
  static RecordReader shared_readers[4];
  RecordReader fresh_readers[4];
  RecordReader& reader = (decoder == other ? shared_readers : fresh_readers)[flags >> 1 & 3];
  iso8583_decode(decoder, message.data(), message.size(), flags | ISO8583_RECORD);
  fuzz_check(reader.read(result_text()) == canonical_json(first), "the record is the JSON's object");
  iso8583_report(other, message.data(), message.size(), flags);
  iso8583_decode(decoder, message.data(), message.size(), flags);
  fuzz_check(result_text() == first, "a decoder's definitions are read back after another's");
  iso8583_report(decoder, message.data(), message.size(), flags);
  iso8583_pack(decoder, json.data(), json.size());
  check_guess(definitions, message, flags, shipped);
  check_diff(decoder, other, message, json, flags);
  check_hexdump_records(iso8583_read_hexdump(message.data(), message.size()));
  const size_t piece = size_t{1} << (data[0] >> 3 & 15);
  for (const int form : {0, static_cast<int>(ISO8583_HEXDUMP)}) {
    const int stream_flags = form | (flags & (ISO8583_EXPLAIN | ISO8583_MASK));
    fuzz_check(stream_messages(decoder, message, stream_flags, piece) ==
                   stream_messages(decoder, message, stream_flags, message.size() + 1),
               "a stream pushed in pieces gives the messages of the stream pushed whole");
  }
  if (decoder != other) iso8583_decoder_destroy(decoder);
  return 0;
}
