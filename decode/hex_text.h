// Hexadecimal text: bytes written as upper-case digit pairs, and the values
// of hexadecimal digits read back strictly.
#ifndef DECODE_HEX_TEXT_H_
#define DECODE_HEX_TEXT_H_

#include <cstddef>

// Writes `count` bytes as upper-case hexadecimal into `text`: 2 * count
// characters, no terminating zero.
void render_hex(const unsigned char* bytes, size_t count, char* text);

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
