// The message unpacker: cuts one ISO 8583 message into its message type
// indicator, its 16-byte bitmap and the data elements the bitmap flags, and
// stores them in field_values, ending with a verdict on the message.
#ifndef DECODE_UNPACK_H_
#define DECODE_UNPACK_H_

#include <array>

#include "decode/report.h"

// The size of the buffer that holds one converted message.
constexpr int kMessageCapacity = 4000;

// One converted message, zero-filled after its last byte. Reads past the
// end of the buffer see zero bytes too.
using MessageBytes = std::array<unsigned char, kMessageCapacity>;

// The bitmap is always this long: the secondary-bitmap bit is not examined.
constexpr int kBitmapLength = 16;

// How an unpack ended.
enum class UnpackResult {
  kUnpacked,         // every flagged element read, and the message long enough
  kTooShort,         // every flagged element read, but the message too short
  kFieldNotDefined,  // a flagged field has no definition
  kLengthTooLong,    // a length indicator exceeds the field's maximum
  kLengthInvalid,    // a length indicator is negative
};

// The ending of an unpack, with the numbers its report line gives.
struct UnpackVerdict {
  UnpackResult result = UnpackResult::kUnpacked;
  int field = 0;      // the field that ended the unpack, for the field failures
  int needed = 0;     // kTooShort: the bytes the elements need
  int available = 0;  // kTooShort: the bytes the message has
  int end_offset = 0;  // the offset after the last element read
};

// Whether `bitmap` flags field `field` (1 to 128): bit field - 1, counted
// from the most significant bit of its first byte.
inline bool is_flagged(const unsigned char bitmap[kBitmapLength], int field) {
  return (bitmap[(field - 1) / 8] & (0x80 >> ((field - 1) % 8))) != 0;
}

// The name of `result` in the outputs for scripts: "unpacked", "too_short",
// "field_not_defined", "length_too_long" or "length_invalid".
const char* unpack_result_name(UnpackResult result);

// Unpacks the first `byte_count` bytes of `message` into field_values and
// copies its bitmap into `bitmap`. Writes no report.
UnpackVerdict unpack_fields(const MessageBytes& message, int byte_count,
                            unsigned char bitmap[kBitmapLength]);

// Unpacks as unpack_fields does and replaces the content of `report` with
// the field report: a heading with the message type indicator, one line per
// element and a closing verdict. Returns 0 when every flagged element was
// read and the message was long enough, -1 when the report ends with a
// failure line.
int unpack_message(const MessageBytes& message, Report* report, int byte_count);

#endif  // DECODE_UNPACK_H_
