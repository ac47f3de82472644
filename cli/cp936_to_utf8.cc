// Code page 936 to UTF-8, by a table of the two-byte characters.
#include "cli/cp936_to_utf8.h"

#include <cstdint>
#include <cstring>

#include "cli/cp936_table.inc"

namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr char32_t kEuroSign = 0x20AC;  // the single byte 0x80

void append_code_point(char32_t code, std::string* utf8) {
  if (code < 0x80) {
    utf8->push_back(static_cast<char>(code));
  } else if (code < 0x800) {
    utf8->push_back(static_cast<char>(0xC0 | (code >> 6)));
    utf8->push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else {
    utf8->push_back(static_cast<char>(0xE0 | (code >> 12)));
    utf8->push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    utf8->push_back(static_cast<char>(0x80 | (code & 0x3F)));
  }
}

// The character of the pair `lead`, `trail`, or 0 when there is none.
char32_t pair_code_point(unsigned char lead, unsigned char trail) {
  if (lead < 0x81 || lead > 0xFE || trail < 0x40 || trail > 0xFE) return 0;
  return kCp936Pairs[lead - 0x81][trail - 0x40];
}

// Whether `ch` goes over unchanged whatever follows it: ASCII other than
// a carriage return.
bool is_plain(char ch) { return static_cast<unsigned char>(ch) < 0x80 && ch != '\r'; }

// Whether all eight bytes at `bytes` are plain, tested at once.
bool are_plain(const char* bytes) {
  constexpr uint64_t kOnes = 0x0101010101010101u;
  constexpr uint64_t kHighBits = 0x8080808080808080u;
  uint64_t word;
  std::memcpy(&word, bytes, sizeof word);
  // A byte is zero in `carriage_returns` where `word` holds '\r'; the
  // subtraction sets the high bit of the first zero byte.
  const uint64_t carriage_returns = word ^ (kOnes * '\r');
  const bool any_carriage_return = ((carriage_returns - kOnes) & ~carriage_returns & kHighBits) != 0;
  return (word & kHighBits) == 0 && !any_carriage_return;
}

// The end of the run of plain bytes of `text` that starts at `at`.
size_t plain_run_end(std::string_view text, size_t at) {
  while (at + 8 <= text.size() && are_plain(text.data() + at)) at += 8;
  while (at < text.size() && is_plain(text[at])) ++at;
  return at;
}

}  // namespace

void append_cp936_as_utf8(std::string_view text, std::string* utf8) {
  utf8->reserve(utf8->size() + text.size() + text.size() / 2);
  for (size_t at = 0; at < text.size(); ++at) {
    // Most of a report is plain ASCII, which goes over in runs.
    const size_t run_end = plain_run_end(text, at);
    utf8->append(text.data() + at, run_end - at);
    if (run_end == text.size()) break;
    at = run_end;

    const unsigned char byte = static_cast<unsigned char>(text[at]);
    if (byte == '\r') {
      if (at + 1 >= text.size() || text[at + 1] != '\n') utf8->push_back('\r');
      continue;
    }
    if (byte == 0x80) {
      append_code_point(kEuroSign, utf8);
      continue;
    }
    const unsigned char trail = at + 1 < text.size() ? static_cast<unsigned char>(text[at + 1]) : 0;
    const char32_t code = pair_code_point(byte, trail);
    if (code != 0) {
      append_code_point(code, utf8);
      ++at;
      continue;
    }
    append_code_point(kReplacement, utf8);
    if (byte != 0xFF && trail >= 0x80) ++at;  // a lead byte's non-ASCII partner goes with it
  }
}
