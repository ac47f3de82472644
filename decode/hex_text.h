// Hexadecimal text: bytes written as upper-case digit pairs, and the values
// of hexadecimal digits read back strictly.
#ifndef DECODE_HEX_TEXT_H_
#define DECODE_HEX_TEXT_H_

#include <cstddef>
#include <cstring>

// The upper-case hexadecimal digit of every nibble.
inline constexpr char kHexDigits[] = "0123456789ABCDEF";

// The two upper-case hexadecimal digits of every byte.
struct HexPairs {
  char of[256][2];
  constexpr HexPairs() : of() {
    for (int byte = 0; byte < 256; ++byte) {
      of[byte][0] = kHexDigits[byte >> 4];
      of[byte][1] = kHexDigits[byte & 0x0F];
    }
  }
};
inline constexpr HexPairs kHexPairs;

// Writes `count` bytes as upper-case hexadecimal into `text` pair by pair
// from the table.
inline void render_hex_pairs(const unsigned char* bytes, size_t count, char* text) {
  for (size_t k = 0; k < count; ++k, text += 2) std::memcpy(text, kHexPairs.of[bytes[k]], 2);
}

#if defined(__SSE2__)
// render_hex for more than 2 bytes: from 4 on in blocks of 16, 8 or 4, the
// last block overlapping the one before rather than going byte by byte,
// as most values are short; none is read or written past its end. Out of
// line, so that small buffers for short values raise no warning.
void render_hex_blocks(const unsigned char* bytes, size_t count, char* text);
#endif

// Writes `count` bytes as upper-case hexadecimal into `text`: 2 * count
// characters, no terminating zero. Inline, as every output writes bytes
// this way in its inner loops, tags of one or two bytes most often.
inline void render_hex(const unsigned char* bytes, size_t count, char* text) {
#if defined(__SSE2__)
  if (count > 2) {
    render_hex_blocks(bytes, count, text);
    return;
  }
#endif
  render_hex_pairs(bytes, count, text);
}

// The value of every hexadecimal digit, -1 for other characters.
struct HexDigitValues {
  signed char of[256];
  constexpr HexDigitValues() : of() {
    for (int ch = 0; ch < 256; ++ch) of[ch] = -1;
    for (int digit = 0; digit < 10; ++digit) of['0' + digit] = static_cast<signed char>(digit);
    for (int digit = 0; digit < 6; ++digit) {
      of['A' + digit] = static_cast<signed char>(10 + digit);
      of['a' + digit] = static_cast<signed char>(10 + digit);
    }
  }
};
inline constexpr HexDigitValues kHexDigitValues;

// The value of the hexadecimal digit `digit` (either case), or -1 for any
// other character; usable when compiling, for tables made from text.
constexpr int hex_digit_value(char digit) {
  return kHexDigitValues.of[static_cast<unsigned char>(digit)];
}

#endif  // DECODE_HEX_TEXT_H_
