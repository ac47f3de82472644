// Fuzz target: arbitrary bytes pasted as message text and decoded over
// the repository's definition file, as the window's Parse button decodes
// them. The window's tables must hold exactly what the message held. A
// refusal for a character that is not a hexadecimal digit must name a
// character that is neither a digit nor a blank, at the line and column
// where it stands.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "decode/field_codec.h"
#include "decode/message_text.h"
#include "fuzz/fuzz_support.h"
#include "window_decode/decode_request.h"
#include "window_decode/field_defs_loader.h"
#include "window_decode/field_tables.h"

namespace {

// Every row of field_values: a stored field is defined, within its
// definition, and its storage is its bytes and a zero byte; a row not
// stored has no storage.
void check_field_values() {
  for (int n = 2; n < kFieldRows; ++n) {
    const FieldValue& value = field_values[n];
    if (value.number == 0) {
      fuzz_check(value.data.empty(), "a row not stored has storage");
      continue;
    }
    const FieldDef& def = field_defs[n];
    fuzz_check(value.number == n && def.number == n, "a stored row is not a defined field");
    fuzz_check(value.length >= 0 && value.length <= data_bytes(def.format, def.max_length),
               "a stored length is out of bounds");
    fuzz_check(value.data.size() == static_cast<size_t>(value.length) + 1 && value.data.back() == 0,
               "a row's storage is not its data and a zero byte");
  }
}

// The refusal of `pasted_text` names a character that is no digit or
// blank, where it stands.
void check_non_hex_place(std::string_view pasted_text) {
  std::string bytes;
  const TextPosition non_hex = read_message_text(pasted_text, 0, &bytes).non_hex;
  if (non_hex.line == 0 || non_hex.offset >= pasted_text.size()) std::abort();
  const char named = pasted_text[non_hex.offset];
  if (std::string_view("0123456789ABCDEFabcdef \t\r\n").find(named) != std::string_view::npos) {
    std::abort();
  }
  const std::string_view before = pasted_text.substr(0, non_hex.offset);
  const size_t last_line_feed = before.rfind('\n');
  const size_t line_start = last_line_feed == std::string_view::npos ? 0 : last_line_feed + 1;
  if (non_hex.line != 1 + static_cast<size_t>(std::count(before.begin(), before.end(), '\n')) ||
      non_hex.column != non_hex.offset - line_start + 1) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  if (parse_field_defs(read_source_file("bitmap.ini")) != 0) std::abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view pasted_text(reinterpret_cast<const char*>(data), size);
  Report report;
  const DecodeOutcome outcome = decode_request(pasted_text, &report);
  check_report(window_decoder().dialect(), outcome, report);
  check_field_values();
  if (outcome == DecodeOutcome::kNotHex) check_non_hex_place(pasted_text);
  return 0;
}
