// The decode request: pasted text to report.
#include "decode/decode_request.h"

#include <cstring>

#include "decode/field55.h"
#include "decode/field_table.h"
#include "decode/strip_blanks.h"
#include "decode/unpack.h"

namespace {

constexpr int hex_digit_value(char ch) {
  const signed char code = static_cast<signed char>(ch);
  if (code >= 'A' && code <= 'F') return code - 0x37;
  if (code >= 'a' && code <= 'f') return code - 0x57;
  return code - 0x30;
}

// The low four bits of every character's value, all of it that reaches a
// byte, looked up rather than worked out for each of a message's digits.
struct NibbleTable {
  unsigned char of[256];
};

constexpr NibbleTable make_nibble_table() {
  NibbleTable table{};
  for (int code = 0; code < 256; ++code) {
    table.of[code] = static_cast<unsigned char>(hex_digit_value(static_cast<char>(code)) & 0x0F);
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
  char text[kInputTextLimit + 1];
  const size_t kept = input_text.size() < kInputTextLimit ? input_text.size() : kInputTextLimit;
  std::memcpy(text, input_text.data(), kept);
  text[kept] = '\0';
  const size_t digit_count = std::strlen(strip_blanks(text));
  if (digit_count % 2 != 0) return DecodeOutcome::kOddDigitCount;
  const int byte_count = static_cast<int>(digit_count / 2);
  if (byte_count < kMinMessageBytes) return DecodeOutcome::kTooShort;

  // The buffer outlives the request; only the bytes that the previous
  // message wrote beyond this one need clearing to leave zeros after it.
  static MessageBytes message{};
  static int previous_byte_count = 0;
  for (int k = 0; k < byte_count; ++k) message[k] = hex_pair_to_byte(text + 2 * k);
  if (previous_byte_count > byte_count) {
    std::memset(message.data() + byte_count, 0,
                static_cast<size_t>(previous_byte_count - byte_count));
  }
  previous_byte_count = byte_count;
  const int unpack_result = unpack_message(message, report, byte_count);
  decode_field55(field_values[55].data, field_values[55].length, report);
  return unpack_result == 0 ? DecodeOutcome::kUnpacked : DecodeOutcome::kUnpackFailed;
}
