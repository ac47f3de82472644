// The reader of message text, in one pass.
#include "decode/message_text.h"

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "decode/hex_text.h"
#include "decode/limits.h"

namespace {

// The UTF-8 byte-order mark, which editors put in front of texts.
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// What a character of message text is, looked up for each character: the
// value of a hexadecimal digit, or one of the classes after them.
enum CharClass : unsigned char { kBlank = 16, kLineFeed, kOther };

struct CharClasses {
  unsigned char of[256];
};

constexpr CharClasses make_char_classes() {
  CharClasses classes{};
  for (int code = 0; code < 256; ++code) {
    const int value = hex_digit_value(static_cast<char>(code));
    classes.of[code] = value >= 0 ? static_cast<unsigned char>(value) : static_cast<unsigned char>(kOther);
  }
  classes.of[static_cast<unsigned char>(' ')] = kBlank;
  classes.of[static_cast<unsigned char>('\t')] = kBlank;
  classes.of[static_cast<unsigned char>('\r')] = kBlank;
  classes.of[static_cast<unsigned char>('\n')] = kLineFeed;
  return classes;
}

constexpr CharClasses kCharClasses = make_char_classes();

// Most of a message's text is long runs of digits: where the processor has
// SSE2, sixteen characters at a time; elsewhere eight, as one 64-bit word
// with the first character in its lowest byte.
#if defined(__SSE2__)

constexpr size_t kRunStep = 16;

// Whether `a` is below `b`, lane by lane, reading both as unsigned bytes.
__m128i below(__m128i a, __m128i b) {
  const __m128i bias = _mm_set1_epi8(static_cast<char>(0x80));
  return _mm_cmplt_epi8(_mm_xor_si128(a, bias), _mm_xor_si128(b, bias));
}

// Converts the sixteen characters at `in` into eight bytes at `out` when
// they are all hexadecimal digits; returns whether they were.
bool convert_run(const unsigned char* in, unsigned char* out) {
  const __m128i text = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
  const __m128i digit = _mm_sub_epi8(text, _mm_set1_epi8('0'));
  const __m128i letter = _mm_sub_epi8(_mm_or_si128(text, _mm_set1_epi8(0x20)), _mm_set1_epi8('a'));
  const __m128i is_digit = below(digit, _mm_set1_epi8(10));
  const __m128i is_letter = below(letter, _mm_set1_epi8(6));
  if (_mm_movemask_epi8(_mm_or_si128(is_digit, is_letter)) != 0xFFFF) return false;
  const __m128i values =
      _mm_or_si128(_mm_and_si128(is_digit, digit),
                   _mm_and_si128(is_letter, _mm_add_epi8(letter, _mm_set1_epi8(10))));
  // Each pair of characters into the low byte of its 16 bits, then the
  // eight low bytes together.
  const __m128i pairs = _mm_or_si128(_mm_slli_epi16(_mm_and_si128(values, _mm_set1_epi16(0x00FF)), 4),
                                     _mm_srli_epi16(values, 8));
  _mm_storel_epi64(reinterpret_cast<__m128i*>(out), _mm_packus_epi16(pairs, pairs));
  return true;
}

#else

constexpr size_t kRunStep = 8;

constexpr uint64_t kEachByte = 0x0101010101010101;
constexpr uint64_t kHighBits = 0x80 * kEachByte;

uint64_t load_eight(const unsigned char* text) {
  uint64_t word;
  std::memcpy(&word, text, sizeof word);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
  word = __builtin_bswap64(word);
#endif
  return word;
}

// The high bit of each byte of `word` (all below 0x80) that lies in
// [low, high].
uint64_t bytes_between(uint64_t word, unsigned low, unsigned high) {
  const uint64_t at_least_low = word + (0x80 - low) * kEachByte;
  const uint64_t above_high = word + (0x7F - high) * kEachByte;
  return at_least_low & ~above_high & kHighBits;
}

// Whether the eight characters of `word` are all hexadecimal digits.
bool all_hex_digits(uint64_t word) {
  if ((word & kHighBits) != 0) return false;
  const uint64_t digits = bytes_between(word, '0', '9');
  const uint64_t letters = bytes_between(word | 0x20 * kEachByte, 'a', 'f');
  return (digits | letters) == kHighBits;
}

// Converts the eight characters at `in` into four bytes at `out` when
// they are all hexadecimal digits; returns whether they were.
bool convert_run(const unsigned char* in, unsigned char* out) {
  const uint64_t word = load_eight(in);
  if (!all_hex_digits(word)) return false;
  // A digit's value is its low four bits, plus 9 for a letter (bit 6 set).
  const uint64_t nibbles = (word & 0x0F * kEachByte) + ((word >> 6) & kEachByte) * 9;
  // Each pair of characters into the low byte of its 16 bits, then the
  // four low bytes together.
  uint64_t pairs = ((nibbles & 0x00FF00FF00FF00FF) << 4) | ((nibbles >> 8) & 0x00FF00FF00FF00FF);
  pairs = (pairs | pairs >> 8) & 0x0000FFFF0000FFFF;
  uint32_t bytes = static_cast<uint32_t>(pairs | pairs >> 16);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
  bytes = __builtin_bswap32(bytes);
#endif
  std::memcpy(out, &bytes, sizeof bytes);
  return true;
}

#endif

}  // namespace

TextReading read_message_text(std::string_view text, size_t skip, std::string* bytes) {
  TextReading reading;
  // Every character that is not a blank is a digit of the message, a
  // character that is no hexadecimal digit too (it refuses the text, but
  // counts for the digit count first).
  bytes->resize(text.size() / 2 + 1);
  unsigned char* out = reinterpret_cast<unsigned char*>(&(*bytes)[0]);
  const unsigned char* in = reinterpret_cast<const unsigned char*>(text.data());
  const size_t size = text.size();
  size_t digits = 0;
  unsigned char high = 0;
  size_t line = 1;
  size_t line_start = 0;
  for (size_t at = 0; at < size; ++at) {
    if (digits % 2 == 0) {
      // Most of a text is runs of digit pairs: a class of 16 or more in
      // either of two characters ends the run.
      unsigned char* pair = out + digits / 2;
      while (at + kRunStep <= size && convert_run(in + at, pair)) {
        pair += kRunStep / 2;
        at += kRunStep;
      }
      while (at + 1 < size) {
        const unsigned char high_nibble = kCharClasses.of[in[at]];
        const unsigned char low_nibble = kCharClasses.of[in[at + 1]];
        if ((high_nibble | low_nibble) >= kBlank) break;
        *pair++ = static_cast<unsigned char>(high_nibble << 4 | low_nibble);
        at += 2;
      }
      digits = 2 * static_cast<size_t>(pair - out);
      if (at == size) break;
    }
    unsigned char nibble = kCharClasses.of[in[at]];
    if (nibble == kLineFeed) {
      ++line;
      line_start = at + 1;
      continue;
    }
    if (nibble == kBlank) continue;
    if (nibble == kOther) {
      if (text.compare(at, kByteOrderMark.size(), kByteOrderMark) == 0) {
        at += kByteOrderMark.size() - 1;
        continue;
      }
      if (reading.non_hex.line == 0) {
        reading.non_hex.offset = at;
        reading.non_hex.line = line;
        reading.non_hex.column = at - line_start + 1;
      }
      nibble = 0;
    }
    if (digits % 2 == 0) {
      high = nibble;
    } else {
      out[digits / 2] = static_cast<unsigned char>(high << 4 | nibble);
    }
    ++digits;
  }
  if (digits % 2 != 0) {
    bytes->clear();
    reading.ending = TextEnding::kOddDigitCount;
    return reading;
  }
  bytes->resize(digits / 2);
  if (bytes->size() < skip + kMinMessageBytes) {
    reading.ending = TextEnding::kTooShort;
  } else if (reading.non_hex.line != 0) {
    reading.ending = TextEnding::kNotHex;
  }
  return reading;
}
