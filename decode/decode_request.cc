// The decode request: pasted text to report.
#include "decode/decode_request.h"

#include <cstring>

#include "decode/field55.h"
#include "decode/field_table.h"
#include "decode/strip_blanks.h"
#include "decode/unpack.h"

namespace {

int hex_digit_value(char ch) {
  const signed char code = static_cast<signed char>(ch);
  if (code >= 'A' && code <= 'F') return code - 0x37;
  if (code >= 'a' && code <= 'f') return code - 0x57;
  return code - 0x30;
}

}  // namespace

unsigned char hex_pair_to_byte(const char* chars) {
  const unsigned int high = static_cast<unsigned int>(hex_digit_value(chars[0]));
  const unsigned int low = static_cast<unsigned int>(hex_digit_value(chars[1]));
  return static_cast<unsigned char>((high << 4) | (low & 0x0F));
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

  static MessageBytes message;
  message.fill(0);
  for (int k = 0; k < byte_count; ++k) message[k] = hex_pair_to_byte(text + 2 * k);
  const int unpack_result = unpack_message(message, report, byte_count);
  decode_field55(field_values[55].data, field_values[55].length, report);
  return unpack_result == 0 ? DecodeOutcome::kUnpacked : DecodeOutcome::kUnpackFailed;
}
