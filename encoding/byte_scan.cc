// The byte classes, tested sixteen bytes at a time with SSE2, else eight
// at a time as one 64-bit word.
#include "encoding/byte_scan.h"

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// The classes of bytes asked about.
enum class ByteClass {
  kVisibleAscii,    // 0x20 to 0x7E
  kJsonPlainAscii,  // the same but the quote and the backslash
  kJsonPlain,       // from 0x20 up but the quote and the backslash
};

#if defined(__SSE2__)

// The bytes of `text` (1 to 15 of them) in one register, some of them
// twice: every byte is read, none past the end.
__m128i load_short(const char* text, size_t size) {
  if (size >= 8) {
    return _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(text)),
                              _mm_loadl_epi64(reinterpret_cast<const __m128i*>(text + size - 8)));
  }
  uint32_t first, last;
  if (size >= 4) {
    std::memcpy(&first, text, sizeof first);
    std::memcpy(&last, text + size - 4, sizeof last);
  } else {
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(text);
    first = bytes[0] | bytes[size / 2] << 8 | bytes[size - 1] << 16 |
            static_cast<uint32_t>(bytes[0]) << 24;
    last = first;
  }
  const __m128i both = _mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(first)),
                                          _mm_cvtsi32_si128(static_cast<int>(last)));
  return _mm_unpacklo_epi64(both, both);
}

// The lanes of `bytes` that are not of the class.
template <ByteClass kClass>
__m128i outsiders(__m128i bytes) {
  // Read as signed, bytes from 0x80 up are below the space too.
  const __m128i below_space = _mm_cmplt_epi8(bytes, _mm_set1_epi8(0x20));
  const __m128i visible_outsiders =
      _mm_or_si128(below_space, _mm_cmpeq_epi8(bytes, _mm_set1_epi8(0x7F)));
  if (kClass == ByteClass::kVisibleAscii) return visible_outsiders;
  const __m128i escaped = _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('"')),
                                       _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\\')));
  if (kClass == ByteClass::kJsonPlainAscii) return _mm_or_si128(visible_outsiders, escaped);
  const __m128i control = _mm_cmpeq_epi8(_mm_min_epu8(bytes, _mm_set1_epi8(0x1F)), bytes);
  return _mm_or_si128(control, escaped);
}

template <ByteClass kClass>
bool scan(std::string_view text) {
  const char* bytes = text.data();
  const size_t size = text.size();
  if (size == 0) return true;
  if (size < 16) return _mm_movemask_epi8(outsiders<kClass>(load_short(bytes, size))) == 0;
  __m128i found = _mm_setzero_si128();
  size_t at = 0;
  for (; at + 16 <= size; at += 16) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + at));
    found = _mm_or_si128(found, outsiders<kClass>(block));
  }
  if (at < size) {  // the last sixteen bytes, overlapping those before
    const __m128i last = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + size - 16));
    found = _mm_or_si128(found, outsiders<kClass>(last));
  }
  return _mm_movemask_epi8(found) == 0;
}

// Copies the whole blocks of sixteen bytes of shared ASCII at the start
// of `bytes` to `out`, and the first other block too; returns the length
// of the run in them.
size_t copy_shared_ascii_blocks(const unsigned char* bytes, size_t size, char* out) {
  size_t at = 0;
  for (; at + 16 <= size; at += 16) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + at));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + at), block);
    const int stops = _mm_movemask_epi8(block) |
                      _mm_movemask_epi8(_mm_cmpeq_epi8(block, _mm_set1_epi8('\r')));
    if (stops != 0) {
      return at + static_cast<size_t>(__builtin_ctz(static_cast<unsigned>(stops)));
    }
  }
  return at;
}

#else

// For each byte, a bit for each class it is of, for the bytes after the
// last whole word.
struct ClassBits {
  unsigned char of[256];
  constexpr ClassBits() : of() {
    for (int byte = 0; byte < 256; ++byte) {
      const bool visible = byte >= 0x20 && byte < 0x7F;
      const bool escaped = byte == '"' || byte == '\\';
      of[byte] = static_cast<unsigned char>(
          bit(ByteClass::kVisibleAscii) * visible |
          bit(ByteClass::kJsonPlainAscii) * (visible && !escaped) |
          bit(ByteClass::kJsonPlain) * (byte >= 0x20 && !escaped));
    }
  }
  static constexpr int bit(ByteClass byte_class) { return 1 << static_cast<int>(byte_class); }
};
constexpr ClassBits kClassBits;

template <ByteClass kClass>
bool is_of(unsigned char byte) {
  return (kClassBits.of[byte] & ClassBits::bit(kClass)) != 0;
}

constexpr uint64_t kOnes = 0x0101010101010101u;
constexpr uint64_t kHighBits = 0x8080808080808080u;

uint64_t load_word(const char* bytes) {
  uint64_t word;
  std::memcpy(&word, bytes, sizeof word);
  return word;
}

// Whether any byte of `word` is below `limit` (at most 0x80).
bool has_byte_below(uint64_t word, unsigned limit) {
  return ((word - kOnes * limit) & ~word & kHighBits) != 0;
}

bool has_byte(uint64_t word, unsigned char byte) { return has_byte_below(word ^ (kOnes * byte), 1); }

// Whether all eight bytes of `word` are of the class.
template <ByteClass kClass>
bool word_is_of(uint64_t word) {
  const bool escaped = has_byte(word, '"') || has_byte(word, '\\');
  const bool control = has_byte_below(word, 0x20);
  const bool beyond_ascii = (word & kHighBits) != 0 || has_byte(word, 0x7F);
  if (kClass == ByteClass::kVisibleAscii) return !control && !beyond_ascii;
  if (kClass == ByteClass::kJsonPlainAscii) return !control && !beyond_ascii && !escaped;
  return !control && !escaped;
}

template <ByteClass kClass>
bool scan(std::string_view text) {
  size_t at = 0;
  for (; at + 8 <= text.size(); at += 8) {
    if (!word_is_of<kClass>(load_word(text.data() + at))) return false;
  }
  for (; at < text.size(); ++at) {
    if (!is_of<kClass>(static_cast<unsigned char>(text[at]))) return false;
  }
  return true;
}

// The same eight bytes at a time, up to the first word that is not all
// shared ASCII.
size_t copy_shared_ascii_blocks(const unsigned char* bytes, size_t size, char* out) {
  size_t at = 0;
  for (; at + 8 <= size; at += 8) {
    const uint64_t word = load_word(reinterpret_cast<const char*>(bytes + at));
    if ((word & kHighBits) != 0 || has_byte(word, '\r')) break;
    std::memcpy(out + at, &word, sizeof word);
  }
  return at;
}

#endif

}  // namespace

bool is_visible_ascii(std::string_view text) { return scan<ByteClass::kVisibleAscii>(text); }

bool is_plain_json_ascii(std::string_view text) { return scan<ByteClass::kJsonPlainAscii>(text); }

bool is_plain_json_text(std::string_view text) { return scan<ByteClass::kJsonPlain>(text); }

size_t copy_shared_ascii(std::string_view text, char* out) {
  const unsigned char* bytes = reinterpret_cast<const unsigned char*>(text.data());
  size_t at = copy_shared_ascii_blocks(bytes, text.size(), out);
  for (; at < text.size() && is_shared_ascii(bytes[at]); ++at) {
    out[at] = static_cast<char>(bytes[at]);
  }
  return at;
}
