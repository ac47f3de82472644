// Bytes as hexadecimal in blocks, with SSE2.
#include "decode/hex_text.h"

#if defined(__SSE2__)
#include <emmintrin.h>

namespace {

// The upper-case hexadecimal digits of the nibbles in the bytes of `nibbles`.
__m128i hex_digits_of(__m128i nibbles) {
  const __m128i letters = _mm_and_si128(_mm_cmpgt_epi8(nibbles, _mm_set1_epi8(9)),
                                        _mm_set1_epi8('A' - '0' - 10));
  return _mm_add_epi8(_mm_add_epi8(nibbles, _mm_set1_epi8('0')), letters);
}

// The digit pairs of the first eight bytes of `bytes` (in `first`) and of
// the last eight (in `second`).
void hex_pairs_of(__m128i bytes, __m128i* first, __m128i* second) {
  const __m128i low_nibble = _mm_set1_epi8(0x0F);
  const __m128i high = hex_digits_of(_mm_and_si128(_mm_srli_epi16(bytes, 4), low_nibble));
  const __m128i low = hex_digits_of(_mm_and_si128(bytes, low_nibble));
  *first = _mm_unpacklo_epi8(high, low);
  *second = _mm_unpackhi_epi8(high, low);
}

// Writes the 32 digits of the 16 bytes at `bytes`.
void render_hex16(const unsigned char* bytes, char* text) {
  __m128i first, second;
  hex_pairs_of(_mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes)), &first, &second);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(text), first);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(text + 16), second);
}

// Writes the 16 digits of the 8 bytes at `bytes`.
void render_hex8(const unsigned char* bytes, char* text) {
  __m128i first, second;
  hex_pairs_of(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(bytes)), &first, &second);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(text), first);
}

// Writes the 8 digits of the 4 bytes at `bytes`.
void render_hex4(const unsigned char* bytes, char* text) {
  int four;
  std::memcpy(&four, bytes, sizeof four);
  __m128i first, second;
  hex_pairs_of(_mm_cvtsi32_si128(four), &first, &second);
  _mm_storel_epi64(reinterpret_cast<__m128i*>(text), first);
}

}  // namespace

void render_hex_blocks(const unsigned char* bytes, size_t count, char* text) {
  if (count < 4) {
    render_hex_pairs(bytes, count, text);
  } else if (count >= 16) {
    size_t k = 0;
    for (; k + 16 <= count; k += 16) render_hex16(bytes + k, text + 2 * k);
    if (k < count) render_hex16(bytes + count - 16, text + 2 * (count - 16));
  } else if (count >= 8) {
    render_hex8(bytes, text);
    render_hex8(bytes + count - 8, text + 2 * (count - 8));
  } else {
    render_hex4(bytes, text);
    render_hex4(bytes + count - 4, text + 2 * (count - 4));
  }
}

#endif
