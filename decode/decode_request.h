// One decode request: the text pasted into the input box goes in, the
// report for the output box (or one of two early endings) comes out. The
// same decode also takes message bytes and gives the decoded message as
// data, for outputs other than the report.
#ifndef DECODE_DECODE_REQUEST_H_
#define DECODE_DECODE_REQUEST_H_

#include <cstddef>
#include <string>
#include <string_view>

#include "decode/decoded_message.h"
#include "decode/decoder.h"
#include "decode/report.h"

// The most characters of pasted text a request looks at; the input box is
// read into a 4,000-byte buffer, so anything longer is cut to this.
constexpr size_t kInputTextLimit = 3999;

// The most message bytes a decode reads is what kInputTextLimit digits give.
static_assert(kMaxMessageBytes == kInputTextLimit / 2, "a decode reads what the text gives");

// Where a character stands in a text as it was given: `line` and `column`
// count from 1, columns in bytes; `line` is 0 when there is no such
// character.
struct TextPosition {
  size_t offset = 0;  // from the start of the text
  size_t line = 0;
  size_t column = 0;
};

// Decodes `input_text`, cut to kInputTextLimit characters: removes its
// blanks, converts its hexadecimal digit pairs to message bytes, unpacks
// them and decodes field 55. The early endings come in this order: an odd
// count of characters other than blanks, too few bytes, a character that
// is not a hexadecimal digit. The report is written only when the outcome
// is kUnpacked or kUnpackFailed.
DecodeOutcome decode_request(std::string_view input_text, Report* report);

// Converts `input_text` as decode_request does into `bytes`: cut to
// kInputTextLimit characters; blanks (spaces, tabs, carriage returns, line
// feeds and UTF-8 byte-order marks) removed; every other character pair
// turned into a byte. Returns false, leaving `bytes` empty, when the count
// of the other characters is odd. `first_non_hex`, when given, receives
// where the first character that is not a hexadecimal digit stands.
bool hex_text_to_bytes(std::string_view input_text, std::string* bytes,
                       TextPosition* first_non_hex = nullptr);

// Decodes the first `count` bytes of `bytes` with default_decoder(), as
// Decoder::decode does.
DecodeOutcome decode_message_bytes(const unsigned char* bytes, size_t count,
                                   DecodedMessage* message);

// Turns two hexadecimal digits into one byte. Other characters are not
// rejected: each gives the low four bits of its code less '0'.
unsigned char hex_pair_to_byte(const char* chars);

#endif  // DECODE_DECODE_REQUEST_H_
