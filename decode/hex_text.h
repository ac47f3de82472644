// Hexadecimal text: bytes written as upper-case digit pairs, and the values
// of hexadecimal digits read back strictly.
#ifndef DECODE_HEX_TEXT_H_
#define DECODE_HEX_TEXT_H_

#include <cstddef>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// The two upper-case hexadecimal digits of every byte.
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
inline constexpr HexPairs kHexPairs;

#if defined(__SSE2__)
// The upper-case hexadecimal digits of the nibbles in the bytes of `nibbles`.
inline __m128i hex_digits_of(__m128i nibbles) {
  const __m128i letters = _mm_and_si128(_mm_cmpgt_epi8(nibbles, _mm_set1_epi8(9)),
                                        _mm_set1_epi8('A' - '0' - 10));
  return _mm_add_epi8(_mm_add_epi8(nibbles, _mm_set1_epi8('0')), letters);
}

// The digit pairs of the first eight bytes of `bytes` (in `first`) and of
// the last eight (in `second`).
inline void hex_pairs_of(__m128i bytes, __m128i* first, __m128i* second) {
  const __m128i low_nibble = _mm_set1_epi8(0x0F);
  const __m128i high = hex_digits_of(_mm_and_si128(_mm_srli_epi16(bytes, 4), low_nibble));
  const __m128i low = hex_digits_of(_mm_and_si128(bytes, low_nibble));
  *first = _mm_unpacklo_epi8(high, low);
  *second = _mm_unpackhi_epi8(high, low);
}

// Writes the 32 digits of the 16 bytes at `bytes`.
inline void render_hex16(const unsigned char* bytes, char* text) {
  __m128i first, second;
  hex_pairs_of(_mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes)), &first, &second);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(text), first);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(text + 16), second);
}

// Writes the 16 digits of the 8 bytes at `bytes`.
inline void render_hex8(const unsigned char* bytes, char* text) {
  __m128i first, second;
  hex_pairs_of(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(bytes)), &first, &second);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(text), first);
}

// Writes the 8 digits of the 4 bytes at `bytes`.
inline void render_hex4(const unsigned char* bytes, char* text) {
  int four;
  std::memcpy(&four, bytes, sizeof four);
  __m128i first, second;
  hex_pairs_of(_mm_cvtsi32_si128(four), &first, &second);
  _mm_storel_epi64(reinterpret_cast<__m128i*>(text), first);
}
#endif

// Writes `count` bytes as upper-case hexadecimal into `text`: 2 * count
// characters, no terminating zero. Inline, as every output writes bytes
// this way in its inner loops. With SSE2, in blocks of 16, 8 or 4 bytes,
// the last block overlapping the one before rather than going byte by
// byte: most values are short, and none is read or written past its end.
inline void render_hex(const unsigned char* bytes, size_t count, char* text) {
#if defined(__SSE2__)
  if (count >= 16) {
    size_t k = 0;
    for (; k + 16 <= count; k += 16) render_hex16(bytes + k, text + 2 * k);
    if (k < count) render_hex16(bytes + count - 16, text + 2 * (count - 16));
    return;
  }
  if (count >= 8) {
    render_hex8(bytes, text);
    render_hex8(bytes + count - 8, text + 2 * (count - 8));
    return;
  }
  if (count >= 4) {
    render_hex4(bytes, text);
    render_hex4(bytes + count - 4, text + 2 * (count - 4));
    return;
  }
#endif
  for (size_t k = 0; k < count; ++k, text += 2) std::memcpy(text, kHexPairs.of[bytes[k]], 2);
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
