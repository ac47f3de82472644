// The window's decode request: pasted text to report.
#include "window_decode/decode_request.h"

#include <cstring>
#include <string>

#include "decode/message_text.h"
#include "window_decode/field_tables.h"
#include "window_decode/unpack_message.h"
#include "window_decode/window_limits.h"

namespace {

constexpr int loose_digit_value(char ch) {
  const signed char code = static_cast<signed char>(ch);
  if (code >= 'A' && code <= 'F') return code - 0x37;
  if (code >= 'a' && code <= 'f') return code - 0x57;
  return code - 0x30;
}

// The low four bits of every character's value, all of it that reaches a
// byte.
struct NibbleTable {
  unsigned char of[256];
};

constexpr NibbleTable make_nibble_table() {
  NibbleTable table{};
  for (int code = 0; code < 256; ++code) {
    table.of[code] = static_cast<unsigned char>(loose_digit_value(static_cast<char>(code)) & 0x0F);
  }
  return table;
}

constexpr NibbleTable kNibbles = make_nibble_table();

}  // namespace

unsigned char hex_pair_to_byte(const char* chars) {
  const unsigned char high = kNibbles.of[static_cast<unsigned char>(chars[0])];
  const unsigned char low = kNibbles.of[static_cast<unsigned char>(chars[1])];
  return static_cast<unsigned char>((high << 4) | low);
}

DecodeOutcome decode_request(std::string_view input_text, Report* report) {
  std::string bytes;
  switch (read_message_text(input_text.substr(0, kInputTextLimit), 0, &bytes).ending) {
    case TextEnding::kOddDigitCount:
      return DecodeOutcome::kOddDigitCount;
    case TextEnding::kTooShort:
      return DecodeOutcome::kTooShort;
    case TextEnding::kNotHex:
      return DecodeOutcome::kNotHex;
    case TextEnding::kMessage:
      break;
  }
  MessageBytes message{};
  std::memcpy(message.data(), bytes.data(), bytes.size());
  const int byte_count = static_cast<int>(bytes.size());
  const int result = unpack_message(message, report, byte_count);
  decode_field55(field_values[55].data, field_values[55].length, report);
  return result == 0 ? DecodeOutcome::kUnpacked : DecodeOutcome::kUnpackFailed;
}
