// The framings a message may arrive in: what transports and terminals put
// in front of an ISO 8583 message, which the guess looks behind.
#ifndef GUESS_FRAMING_H_
#define GUESS_FRAMING_H_

#include <cstddef>

// A length in front of a message, counting the bytes after it.
enum class LengthPrefix : unsigned char {
  kNone,
  kBinary2,  // 2 bytes, an unsigned big-endian number
  kAscii4,   // 4 ASCII decimal digits
};

// One framing.
struct Framing {
  const char* name;         // "len2+tpdu", as the outputs name it
  const char* description;  // "a 2-byte length and a TPDU", for hints
  LengthPrefix length;
  bool tpdu;  // a TPDU follows the length: 5 bytes, the first 0x60
};

// The framings, "none" (the message as it stands) first.
constexpr int kFramingCount = 6;
extern const Framing kFramings[kFramingCount];

// How many bytes `framing` puts in front of the message in the `count`
// bytes at `bytes`, or -1 when they are not framed so: the length must
// count every byte after it.
int framing_overhead(const Framing& framing, const unsigned char* bytes, size_t count);

#endif  // GUESS_FRAMING_H_
