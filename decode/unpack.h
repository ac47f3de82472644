// The message unpacker: cuts one ISO 8583 message into its header, its
// message type indicator, its bitmap and the data elements the bitmap
// flags, as a dialect lays them out, and stores them in a decoder's field
// table, ending with a verdict on the message.
#ifndef DECODE_UNPACK_H_
#define DECODE_UNPACK_H_

#include <array>

#include "decode/field_table.h"
#include "decode/report.h"

// The size of the buffer that holds one converted message.
constexpr int kMessageCapacity = 4000;

// One converted message, zero-filled after its last byte. Reads past the
// end of the buffer see zero bytes too.
using MessageBytes = std::array<unsigned char, kMessageCapacity>;

// The bits of the primary and the secondary bitmap, for fields 1 to 128.
constexpr int kBitmapLength = 16;

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
  int field = 0;      // the field that ended the unpack, for the field failures
  int needed = 0;     // kTooShort, kHeaderTooLong: the bytes needed
  int available = 0;  // kTooShort, kHeaderTooLong: the bytes the message has
  int end_offset = 0;  // where the last element read ends
};

// What an unpack finds around the fields, and which rows it wrote.
struct MessageFrame {
  int header_length = 0;                     // bytes before the message type indicator
  unsigned char bitmap[kBitmapLength] = {};  // the bits, as binary bytes
  int bitmap_length = kBitmapLength;         // 8 without a secondary bitmap, else 16
  // The data element rows the unpack wrote, ascending: those it stored and
  // the one that ended it. Only these need clearing before the next unpack
  // into the same rows; -1 when that is not known, and every row is.
  int touched_count = -1;
  unsigned char touched[kFieldRows];
};

// Whether `bitmap` flags field `field` (1 to 128): bit field - 1, counted
// from the most significant bit of its first byte.
inline bool is_flagged(const unsigned char bitmap[kBitmapLength], int field) {
  return (bitmap[(field - 1) / 8] & (0x80 >> ((field - 1) % 8))) != 0;
}

// The name of `result` in the outputs for scripts: "unpacked", "too_short",
// "field_not_defined", "length_too_long", "length_invalid",
// "header_too_long", "bitmap_not_hex" or "length_not_digits".
const char* unpack_result_name(UnpackResult result);

// Unpacks the first `byte_count` bytes of `message` as `dialect` lays them
// out into `values`, and fills `frame`. Writes no report. The rows that
// `frame` says the previous unpack into `values` wrote are cleared first.
UnpackVerdict unpack_fields(const Dialect& dialect, FieldValue values[kFieldRows],
                            const MessageBytes& message, int byte_count, MessageFrame* frame);

// Unpacks with the tables of default_decoder() and replaces the content of
// `report` with the field report: a heading with the message type
// indicator, one line per element and a closing verdict. Returns 0 when
// every flagged element was read and the message was long enough, -1 when
// the report ends with a failure line.
int unpack_message(const MessageBytes& message, Report* report, int byte_count);

#endif  // DECODE_UNPACK_H_
