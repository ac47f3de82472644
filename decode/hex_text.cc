// Hexadecimal digits, two to a byte, by table.
#include "decode/hex_text.h"

#include <cstring>

namespace {

// The two hexadecimal digits of every byte, looked up two at a time.
struct HexPairs {
  char of[256][2];
  constexpr HexPairs() : of() {
    const char digits[] = "0123456789ABCDEF";
    for (int byte = 0; byte < 256; ++byte) {
      of[byte][0] = digits[byte >> 4];
      of[byte][1] = digits[byte & 0x0F];
    }
  }
};
constexpr HexPairs kHexPairs;

// The value of every hexadecimal digit, -1 for other characters.
struct DigitValues {
  signed char of[256];
  constexpr DigitValues() : of() {
    for (int ch = 0; ch < 256; ++ch) of[ch] = -1;
    for (int digit = 0; digit < 10; ++digit) of['0' + digit] = static_cast<signed char>(digit);
    for (int digit = 0; digit < 6; ++digit) {
      of['A' + digit] = static_cast<signed char>(10 + digit);
      of['a' + digit] = static_cast<signed char>(10 + digit);
    }
  }
};
constexpr DigitValues kDigitValues;

}  // namespace

void render_hex(const unsigned char* bytes, size_t count, char* text) {
  for (size_t k = 0; k < count; ++k, text += 2) std::memcpy(text, kHexPairs.of[bytes[k]], 2);
}

int hex_digit_value(char digit) { return kDigitValues.of[static_cast<unsigned char>(digit)]; }
