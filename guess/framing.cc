// The framings and how to tell them.
#include "guess/framing.h"

const Framing kFramings[kFramingCount] = {
    {"none", "", LengthPrefix::kNone, false},
    {"len2", "behind a 2-byte length", LengthPrefix::kBinary2, false},
    {"ascii4", "behind a 4-digit length", LengthPrefix::kAscii4, false},
    {"tpdu", "behind a TPDU", LengthPrefix::kNone, true},
    {"len2+tpdu", "behind a 2-byte length and a TPDU", LengthPrefix::kBinary2, true},
    {"ascii4+tpdu", "behind a 4-digit length and a TPDU", LengthPrefix::kAscii4, true},
};

namespace {

// The bytes of a TPDU, and the value of its first byte: the protocol
// identifier of the transaction messages terminals send.
constexpr size_t kTpduBytes = 5;
constexpr unsigned char kTpduIdentifier = 0x60;

// The bytes of the length in front of the message, or 0 when there is
// none; -1 when `count` bytes at `bytes` do not start with a length that
// counts the bytes after it.
int length_prefix_bytes(LengthPrefix prefix, const unsigned char* bytes, size_t count) {
  switch (prefix) {
    case LengthPrefix::kNone:
      return 0;
    case LengthPrefix::kBinary2:
      if (count < 2) return -1;
      return static_cast<size_t>(bytes[0] << 8 | bytes[1]) == count - 2 ? 2 : -1;
    case LengthPrefix::kAscii4: {
      if (count < 4) return -1;
      size_t value = 0;
      for (size_t k = 0; k < 4; ++k) {
        if (bytes[k] < '0' || bytes[k] > '9') return -1;
        value = value * 10 + (bytes[k] - '0');
      }
      return value == count - 4 ? 4 : -1;
    }
  }
  return -1;
}

}  // namespace

int framing_overhead(const Framing& framing, const unsigned char* bytes, size_t count) {
  const int length = length_prefix_bytes(framing.length, bytes, count);
  if (length < 0 || !framing.tpdu) return length;
  const size_t after = static_cast<size_t>(length);
  if (count < after + kTpduBytes || bytes[after] != kTpduIdentifier) return -1;
  return length + static_cast<int>(kTpduBytes);
}
