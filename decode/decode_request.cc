// The decode request: pasted text to report.
#include "decode/decode_request.h"

#include <cstring>

#include "decode/field_report.h"
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

bool hex_text_to_bytes(std::string_view input_text, std::string* bytes) {
  char text[kInputTextLimit + 1];
  const size_t kept = input_text.size() < kInputTextLimit ? input_text.size() : kInputTextLimit;
  std::memcpy(text, input_text.data(), kept);
  text[kept] = '\0';
  const size_t digit_count = std::strlen(strip_blanks(text));
  bytes->clear();
  if (digit_count % 2 != 0) return false;
  bytes->resize(digit_count / 2);
  for (size_t k = 0; k < bytes->size(); ++k) (*bytes)[k] = static_cast<char>(hex_pair_to_byte(text + 2 * k));
  return true;
}

DecodeOutcome decode_message_bytes(const unsigned char* bytes, size_t count,
                                   DecodedMessage* message) {
  return default_decoder().decode(bytes, count, message);
}

DecodeOutcome decode_request(std::string_view input_text, Report* report) {
  static std::string bytes;
  if (!hex_text_to_bytes(input_text, &bytes)) return DecodeOutcome::kOddDigitCount;
  static DecodedMessage message;
  const DecodeOutcome outcome = decode_message_bytes(
      reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), &message);
  if (outcome == DecodeOutcome::kTooShort) return outcome;
  write_report(message, report);
  return outcome;
}
