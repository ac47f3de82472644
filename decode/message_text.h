// Message text: hexadecimal digit pairs with blanks anywhere, as people
// paste messages and as logs hold them, read into the message's bytes.
// This reader alone decides how a text is refused, for every program.
#ifndef DECODE_MESSAGE_TEXT_H_
#define DECODE_MESSAGE_TEXT_H_

#include <cstddef>
#include <string>
#include <string_view>

#include "decode/limits.h"

// Where a character stands in a text as it was given: `line` and `column`
// count from 1, columns in bytes; `line` is 0 when there is no such
// character.
struct TextPosition {
  size_t offset = 0;  // from the start of the text
  size_t line = 0;
  size_t column = 0;
};

// How a text was read: into a message, or refused.
enum class TextEnding {
  kMessage,        // bytes to decode
  kOddDigitCount,  // the characters other than blanks are an odd count
  kTooShort,       // fewer than kMinMessageBytes bytes are left to decode
  kNotHex,         // a character is neither a hexadecimal digit nor a blank
};

// What reading a text gave.
struct TextReading {
  TextEnding ending = TextEnding::kMessage;
  // The first character that is not a hexadecimal digit, whatever the
  // ending, for hints.
  TextPosition non_hex;
};

// Reads `text` into `bytes`: blanks (spaces, tabs, carriage returns, line
// feeds and UTF-8 byte-order marks) are removed and every pair of the
// other characters is one byte. The endings are tested in this order: an
// odd count of characters other than blanks (`bytes` is then empty), too
// few bytes once the first `skip` are dropped, a character that is no
// hexadecimal digit (its byte is then not meaningful).
TextReading read_message_text(std::string_view text, size_t skip, std::string* bytes);

#endif  // DECODE_MESSAGE_TEXT_H_
