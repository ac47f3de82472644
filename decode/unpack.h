// The message unpacker: cuts one ISO 8583 message into its header, its
// message type indicator, its bitmap and the data elements the bitmap
// flags, as a dialect lays them out. It is a function of the dialect and
// the bytes alone, keeping no state of its own.
#ifndef DECODE_UNPACK_H_
#define DECODE_UNPACK_H_

#include "decode/decoded_message.h"
#include "decode/dialect.h"

// Unpacks the `count` bytes at `bytes` as `dialect` lays them out into
// `message`, which takes a copy of them: its fields become views into that
// copy, fields that are not shown as they stand get their text, and field
// 55, when stored, is walked. Bytes past the message's end read as zero.
// Returns how the unpack ended, which is also message->verdict.
const UnpackVerdict& unpack(const Dialect& dialect, const unsigned char* bytes, int count,
                            DecodedMessage* message);

#endif  // DECODE_UNPACK_H_
