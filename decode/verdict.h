// How the unpack of a message ended, with the numbers its report line
// gives, and the names of the endings in the outputs for scripts.
#ifndef DECODE_VERDICT_H_
#define DECODE_VERDICT_H_

#include "decode/limits.h"

// How an unpack ended.
enum class UnpackResult {
  kUnpacked,         // every flagged element read, and the message long enough
  kTooShort,         // every flagged element read, but the message too short
  kFieldNotDefined,  // a flagged field has no definition
  kLengthTooLong,    // a length indicator exceeds the field's maximum
  kLengthInvalid,    // a length indicator is negative
  kHeaderTooLong,    // the header is longer than the message
  kBitmapNotHex,     // a bitmap written as text holds a character that is no hex digit
  kLengthNotDigits,  // an EBCDIC or packed length indicator holds a non-digit
};

// The ending of an unpack, with the numbers its report line gives.
struct UnpackVerdict {
  UnpackResult result = UnpackResult::kUnpacked;
  int field = 0;       // the field that ended the unpack, for the field failures
  int needed = 0;      // kTooShort, kHeaderTooLong: the bytes needed
  int available = 0;   // kTooShort, kHeaderTooLong: the bytes the message has
  int end_offset = 0;  // where the last element read ends
};

// The name of `result` in the outputs for scripts: "unpacked", "too_short",
// "field_not_defined", "length_too_long", "length_invalid",
// "header_too_long", "bitmap_not_hex" or "length_not_digits".
const char* unpack_result_name(UnpackResult result);

// Whether `bitmap` flags field `field` (1 to 128): bit field - 1, counted
// from the most significant bit of its first byte.
inline bool is_flagged(const unsigned char bitmap[kBitmapLength], int field) {
  return (bitmap[(field - 1) / 8] & (0x80 >> ((field - 1) % 8))) != 0;
}

#endif  // DECODE_VERDICT_H_
