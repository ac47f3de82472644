// A view of captured bytes, and the big- and little-endian reads that
// packet headers need.
#ifndef CAPTURE_BYTE_SPAN_H_
#define CAPTURE_BYTE_SPAN_H_

#include <cstddef>
#include <cstdint>

struct ByteSpan {
  const uint8_t* data = nullptr;
  size_t size = 0;
};

// The bytes of `span` from `offset` on; empty when it is shorter.
inline ByteSpan span_after(ByteSpan span, size_t offset) {
  return offset <= span.size ? ByteSpan{span.data + offset, span.size - offset} : ByteSpan{};
}

inline uint16_t read_be16(const uint8_t* bytes) {
  return static_cast<uint16_t>(bytes[0] << 8 | bytes[1]);
}

inline uint32_t read_be32(const uint8_t* bytes) {
  return static_cast<uint32_t>(bytes[0]) << 24 | static_cast<uint32_t>(bytes[1]) << 16 |
         static_cast<uint32_t>(bytes[2]) << 8 | bytes[3];
}

inline uint32_t read_le32(const uint8_t* bytes) {
  return static_cast<uint32_t>(bytes[3]) << 24 | static_cast<uint32_t>(bytes[2]) << 16 |
         static_cast<uint32_t>(bytes[1]) << 8 | bytes[0];
}

#endif  // CAPTURE_BYTE_SPAN_H_
