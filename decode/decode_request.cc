// The decode request: pasted text to report.
#include "decode/decode_request.h"

#include "decode/field_report.h"
#include "decode/hex_text.h"
#include "decode/unpack.h"

namespace {

constexpr int loose_digit_value(char ch) {
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
    table.of[code] = static_cast<unsigned char>(loose_digit_value(static_cast<char>(code)) & 0x0F);
  }
  return table;
}

constexpr NibbleTable kNibbles = make_nibble_table();

// The UTF-8 byte-order mark, which editors put in front of texts.
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// What a character of message text is, looked up for each character: the
// value of a hexadecimal digit, or one of the classes after them.
enum CharClass : unsigned char { kBlank = 16, kLineFeed, kOther };

struct CharClasses {
  unsigned char of[256];
};

constexpr CharClasses make_char_classes() {
  CharClasses classes{};
  for (int code = 0; code < 256; ++code) {
    const int value = hex_digit_value(static_cast<char>(code));
    classes.of[code] = value >= 0 ? static_cast<unsigned char>(value) : static_cast<unsigned char>(kOther);
  }
  classes.of[static_cast<unsigned char>(' ')] = kBlank;
  classes.of[static_cast<unsigned char>('\t')] = kBlank;
  classes.of[static_cast<unsigned char>('\r')] = kBlank;
  classes.of[static_cast<unsigned char>('\n')] = kLineFeed;
  return classes;
}

constexpr CharClasses kCharClasses = make_char_classes();

}  // namespace

unsigned char hex_pair_to_byte(const char* chars) {
  const unsigned char high = kNibbles.of[static_cast<unsigned char>(chars[0])];
  const unsigned char low = kNibbles.of[static_cast<unsigned char>(chars[1])];
  return static_cast<unsigned char>((high << 4) | low);
}

bool hex_text_to_bytes(std::string_view input_text, std::string* bytes,
                       TextPosition* first_non_hex) {
  const std::string_view text = input_text.substr(0, kInputTextLimit);
  // Every character that is not a blank is a digit of the message, a
  // character that is no hexadecimal digit too (it refuses the text, but
  // counts for the digit count first): each is turned into its nibble as it
  // is read, in one pass.
  bytes->resize(text.size() / 2 + 1);
  unsigned char* out = reinterpret_cast<unsigned char*>(&(*bytes)[0]);
  const unsigned char* in = reinterpret_cast<const unsigned char*>(text.data());
  const size_t size = text.size();
  size_t digits = 0;
  unsigned char high = 0;
  TextPosition non_hex;
  size_t line = 1;
  size_t line_start = 0;
  for (size_t at = 0; at < size; ++at) {
    if (digits % 2 == 0) {
      // Most of a text is runs of digit pairs: a class of 16 or more in
      // either of two characters ends the run.
      unsigned char* pair = out + digits / 2;
      while (at + 1 < size) {
        const unsigned char high_nibble = kCharClasses.of[in[at]];
        const unsigned char low_nibble = kCharClasses.of[in[at + 1]];
        if ((high_nibble | low_nibble) >= kBlank) break;
        *pair++ = static_cast<unsigned char>(high_nibble << 4 | low_nibble);
        at += 2;
      }
      digits = 2 * static_cast<size_t>(pair - out);
      if (at == size) break;
    }
    unsigned char nibble = kCharClasses.of[in[at]];
    if (nibble == kLineFeed) {
      ++line;
      line_start = at + 1;
      continue;
    }
    if (nibble == kBlank) continue;
    if (nibble == kOther) {
      if (text.compare(at, kByteOrderMark.size(), kByteOrderMark) == 0) {
        at += kByteOrderMark.size() - 1;
        continue;
      }
      if (non_hex.line == 0) {
        non_hex.offset = at;
        non_hex.line = line;
        non_hex.column = at - line_start + 1;
      }
      nibble = kNibbles.of[in[at]];
    }
    if (digits % 2 == 0) {
      high = nibble;
    } else {
      out[digits / 2] = static_cast<unsigned char>(high << 4 | nibble);
    }
    ++digits;
  }
  if (first_non_hex != nullptr) *first_non_hex = non_hex;
  if (digits % 2 != 0) {
    bytes->clear();
    return false;
  }
  bytes->resize(digits / 2);
  return true;
}

DecodeOutcome decode_message_bytes(const unsigned char* bytes, size_t count,
                                   DecodedMessage* message) {
  return default_decoder().decode(bytes, count, message);
}

DecodeOutcome decode_request(std::string_view input_text, Report* report) {
  static std::string bytes;
  TextPosition non_hex;
  if (!hex_text_to_bytes(input_text, &bytes, &non_hex)) return DecodeOutcome::kOddDigitCount;
  if (bytes.size() < static_cast<size_t>(kMinMessageBytes)) return DecodeOutcome::kTooShort;
  if (non_hex.line != 0) return DecodeOutcome::kNotHex;
  static DecodedMessage message;
  const DecodeOutcome outcome = decode_message_bytes(
      reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), &message);
  if (outcome == DecodeOutcome::kTooShort) return outcome;
  write_report(message, report);
  return outcome;
}
