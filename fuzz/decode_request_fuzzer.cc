// Fuzz target: arbitrary bytes pasted as message text and decoded over
// the repository's definition file, as the Parse button and iso8583dump
// decode them. A refusal for a character that is not a hexadecimal digit
// must name a character that is neither a digit nor a blank, at the line
// and column where it stands.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "decode/decode_request.h"
#include "decode/definition_file.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  if (parse_field_defs(read_source_file("bitmap.ini")) != 0) std::abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view pasted_text(reinterpret_cast<const char*>(data), size);
  Report report;
  const DecodeOutcome outcome = decode_request(pasted_text, &report);
  check_decode(outcome, report);
  if (outcome != DecodeOutcome::kNotHex) return 0;
  std::string bytes;
  TextPosition non_hex;
  hex_text_to_bytes(pasted_text, &bytes, &non_hex);
  if (non_hex.line == 0 || non_hex.offset >= pasted_text.size()) std::abort();
  // Neither a digit nor a blank.
  const char named = pasted_text[non_hex.offset];
  if (std::string_view("0123456789ABCDEFabcdef \t\r\n").find(named) != std::string_view::npos) {
    std::abort();
  }
  // Where its line and column say.
  const std::string_view before = pasted_text.substr(0, non_hex.offset);
  const size_t last_line_feed = before.rfind('\n');
  const size_t line_start = last_line_feed == std::string_view::npos ? 0 : last_line_feed + 1;
  if (non_hex.line != 1 + static_cast<size_t>(std::count(before.begin(), before.end(), '\n')) ||
      non_hex.column != non_hex.offset - line_start + 1) {
    std::abort();
  }
  return 0;
}
