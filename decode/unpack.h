// The message unpacker: cuts one ISO 8583 message into its message type
// indicator, its 16-byte bitmap and the data elements the bitmap flags,
// stores them in field_values and writes the field report.
#ifndef DECODE_UNPACK_H_
#define DECODE_UNPACK_H_

#include <array>

#include "decode/report.h"

// The size of the buffer that holds one converted message.
constexpr int kMessageCapacity = 4000;

// One converted message, zero-filled after its last byte. Reads past the
// end of the buffer see zero bytes too.
using MessageBytes = std::array<unsigned char, kMessageCapacity>;

// Unpacks the first `byte_count` bytes of `message` into field_values and
// replaces the content of `report` with the field report: a heading with
// the message type indicator, one line per element and a closing verdict.
// Returns 0 when every flagged element was read and the message was long
// enough, -1 when the report ends with a failure line.
int unpack_message(const MessageBytes& message, Report* report, int byte_count);

#endif  // DECODE_UNPACK_H_
