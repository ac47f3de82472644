// The decoding library's limits, each with its reason. They bound what a
// hostile message or definition file can make a decode read, allocate or
// write. The window program keeps limits of its own (the text its input
// box holds), in its own layer, so that these can grow without changing it.
#ifndef DECODE_LIMITS_H_
#define DECODE_LIMITS_H_

#include <cstddef>

// Rows of a dialect's table, indexed by field number: row 0 is never used,
// row 1 stands for the message type indicator and rows 2 to 128 for data
// elements 2 to 128, the most a primary and a secondary bitmap can flag.
constexpr int kFieldRows = 129;

// The largest maximum length a definition may give a field. Anything much
// longer than a message is a typo, and a field that long could only hold
// zeros past the message's end.
constexpr int kMaxFieldLength = 9999;

// The most digits (or binary bytes) of a length indicator: 6 ASCII digits
// say more than any field may hold.
constexpr int kMaxLengthDigits = 6;

// The longest header a dialect may put in front of the message type
// indicator.
constexpr int kMaxHeaderLength = 1999;

// The fewest bytes a decode takes for a message: anything shorter cannot
// hold a type indicator and a bitmap.
constexpr size_t kMinMessageBytes = 20;

// The most message bytes a decode reads; longer messages are cut to them.
// A 2-byte length prefix, the longest that framings use, says no more.
constexpr size_t kMaxMessageBytes = 65535;

// The most characters of one message's text that the programs read: the
// digits of the most bytes a decode reads, with room for a blank after
// every pair and line ends.
constexpr size_t kMaxMessageTextLength = 4 * kMaxMessageBytes;

// The bits of a primary and a secondary bitmap, for fields 1 to 128.
constexpr int kBitmapLength = 16;

// The longest value of a field 55 element; a longer one ends the walk, as
// no EMV data object comes near it.
constexpr int kMaxTagValueLength = 300;

// The deepest that the layouts of composite fields nest: a part of a part
// of a part of a part. Real layouts need two levels; more is a mistake.
constexpr int kMaxLayoutDepth = 4;

// The deepest nesting of constructed chip-data elements that outputs walk
// into; deeper templates are shown with their value only.
constexpr int kMaxChipDataDepth = 8;

#endif  // DECODE_LIMITS_H_
