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

}  // namespace

void render_hex(const unsigned char* bytes, size_t count, char* text) {
  for (size_t k = 0; k < count; ++k, text += 2) std::memcpy(text, kHexPairs.of[bytes[k]], 2);
}

