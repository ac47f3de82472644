// The reader of message text, in one pass.
#include "decode/message_text.h"

#include "decode/hex_text.h"
#include "decode/limits.h"

namespace {

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

TextReading read_message_text(std::string_view text, size_t skip, std::string* bytes) {
  TextReading reading;
  // Every character that is not a blank is a digit of the message, a
  // character that is no hexadecimal digit too (it refuses the text, but
  // counts for the digit count first).
  bytes->resize(text.size() / 2 + 1);
  unsigned char* out = reinterpret_cast<unsigned char*>(&(*bytes)[0]);
  const unsigned char* in = reinterpret_cast<const unsigned char*>(text.data());
  const size_t size = text.size();
  size_t digits = 0;
  unsigned char high = 0;
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
      if (reading.non_hex.line == 0) {
        reading.non_hex.offset = at;
        reading.non_hex.line = line;
        reading.non_hex.column = at - line_start + 1;
      }
      nibble = 0;
    }
    if (digits % 2 == 0) {
      high = nibble;
    } else {
      out[digits / 2] = static_cast<unsigned char>(high << 4 | nibble);
    }
    ++digits;
  }
  if (digits % 2 != 0) {
    bytes->clear();
    reading.ending = TextEnding::kOddDigitCount;
    return reading;
  }
  bytes->resize(digits / 2);
  if (bytes->size() < skip + kMinMessageBytes) {
    reading.ending = TextEnding::kTooShort;
  } else if (reading.non_hex.line != 0) {
    reading.ending = TextEnding::kNotHex;
  }
  return reading;
}
