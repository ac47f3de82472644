// Code page 936 to UTF-8, by a table of the two-byte characters.
#include "encoding/cp936_to_utf8.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "encoding/cp936_table.inc"

namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr char32_t kEuroSign = 0x20AC;  // the single byte 0x80

// UTF-8 written character by character: the characters gather in a small
// buffer that goes to the text in one piece, as appending each one costs
// a call where this code runs as WebAssembly.
class Utf8Characters {
 public:
  explicit Utf8Characters(std::string* utf8) : utf8_(utf8) {}
  ~Utf8Characters() { flush(); }
  Utf8Characters(const Utf8Characters&) = delete;
  Utf8Characters& operator=(const Utf8Characters&) = delete;

  void append(char32_t code) {
    if (used_ + 3 > sizeof buffer_) flush();
    char* out = buffer_ + used_;
    if (code < 0x80) {
      out[0] = static_cast<char>(code);
      used_ += 1;
    } else if (code < 0x800) {
      out[0] = static_cast<char>(0xC0 | (code >> 6));
      out[1] = static_cast<char>(0x80 | (code & 0x3F));
      used_ += 2;
    } else {
      out[0] = static_cast<char>(0xE0 | (code >> 12));
      out[1] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out[2] = static_cast<char>(0x80 | (code & 0x3F));
      used_ += 3;
    }
  }

  // Appends `count` bytes of UTF-8 after the characters so far.
  void append_text(const char* bytes, size_t count) {
    flush();
    utf8_->append(bytes, count);
  }

  void flush() {
    if (used_ == 0) return;
    utf8_->append(buffer_, used_);
    used_ = 0;
  }

 private:
  std::string* utf8_;
  char buffer_[96];
  size_t used_ = 0;
};

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
  Utf8Characters characters(utf8);
  for (size_t at = 0; at < text.size(); ++at) {
    // Most of a report is plain ASCII, which goes over in runs.
    const size_t run_end = plain_run_end(text, at);
    if (run_end > at) characters.append_text(text.data() + at, run_end - at);
    if (run_end == text.size()) break;
    at = run_end;

    const unsigned char byte = static_cast<unsigned char>(text[at]);
    if (byte == '\r') {
      if (at + 1 >= text.size() || text[at + 1] != '\n') characters.append('\r');
      continue;
    }
    if (byte == 0x80) {
      characters.append(kEuroSign);
      continue;
    }
    const unsigned char trail = at + 1 < text.size() ? static_cast<unsigned char>(text[at + 1]) : 0;
    const char32_t code = pair_code_point(byte, trail);
    if (code != 0) {
      characters.append(code);
      ++at;
      continue;
    }
    characters.append(kReplacement);
    if (byte != 0xFF && trail >= 0x80) ++at;  // a lead byte's non-ASCII partner goes with it
  }
}

bool is_printable_cp936(std::string_view bytes) {
  for (size_t at = 0; at < bytes.size(); ++at) {
    const unsigned char byte = static_cast<unsigned char>(bytes[at]);
    if (byte >= 0x20 && byte < 0x7F) continue;
    if (byte == 0x80) continue;  // the euro sign
    const unsigned char trail = at + 1 < bytes.size() ? static_cast<unsigned char>(bytes[at + 1]) : 0;
    if (pair_code_point(byte, trail) == 0) return false;
    ++at;
  }
  return true;
}

char32_t read_utf8_character(std::string_view text, size_t at, size_t* length) {
  constexpr char32_t kNone = 0xFFFD;
  const unsigned char lead = static_cast<unsigned char>(text[at]);
  *length = 1;
  if (lead < 0x80) return lead;
  int trail_count;
  char32_t code;
  if (lead >= 0xC2 && lead <= 0xDF) {
    trail_count = 1;
    code = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    trail_count = 2;
    code = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    trail_count = 3;
    code = lead & 0x07;
  } else {
    return kNone;
  }
  if (text.size() - at <= static_cast<size_t>(trail_count)) return kNone;
  for (int k = 1; k <= trail_count; ++k) {
    const unsigned char trail = static_cast<unsigned char>(text[at + k]);
    if ((trail & 0xC0) != 0x80) return kNone;
    code = (code << 6) | (trail & 0x3F);
  }
  // Overlong forms, surrogates and code points past U+10FFFF.
  const char32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
  if (code < kSmallest[trail_count] || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) {
    return kNone;
  }
  *length = 1 + static_cast<size_t>(trail_count);
  return code;
}

bool is_utf8(std::string_view text) {
  for (size_t at = 0; at < text.size();) {
    size_t length;
    read_utf8_character(text, at, &length);
    // Only ASCII is one byte long.
    if (length == 1 && static_cast<unsigned char>(text[at]) >= 0x80) return false;
    at += length;
  }
  return true;
}

void append_text_as_utf8(std::string_view text, std::string* utf8) {
  if (is_utf8(text)) {
    utf8->append(text.data(), text.size());
  } else {
    append_cp936_as_utf8(text, utf8);
  }
}

namespace {

// One two-byte character, for looking pairs up by their character.
struct CharacterPair {
  char32_t code;
  unsigned char lead;
  unsigned char trail;
};

// Every two-byte character, ordered by its code point; made once.
const std::vector<CharacterPair>& pairs_by_code_point() {
  static const std::vector<CharacterPair> pairs = [] {
    std::vector<CharacterPair> list;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
      for (int trail = 0x40; trail <= 0xFE; ++trail) {
        const char32_t code = pair_code_point(static_cast<unsigned char>(lead),
                                              static_cast<unsigned char>(trail));
        if (code != 0) {
          list.push_back({code, static_cast<unsigned char>(lead), static_cast<unsigned char>(trail)});
        }
      }
    }
    // Some characters have more than one pair; the first, as listed, wins.
    std::stable_sort(list.begin(), list.end(),
                     [](const CharacterPair& a, const CharacterPair& b) { return a.code < b.code; });
    return list;
  }();
  return pairs;
}

// Reads the code point at `*at` of well-formed UTF-8 `text` and moves past it.
char32_t next_code_point(std::string_view text, size_t* at) {
  const unsigned char lead = static_cast<unsigned char>(text[*at]);
  const int trail_count = lead < 0x80 ? 0 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
  char32_t code = trail_count == 0 ? lead : lead & (0x3F >> trail_count);
  for (int k = 1; k <= trail_count; ++k) code = (code << 6) | (text[*at + k] & 0x3F);
  *at += 1 + trail_count;
  return code;
}

}  // namespace

bool append_utf8_as_cp936(std::string_view utf8, std::string* cp936) {
  if (!is_utf8(utf8)) return false;
  const std::vector<CharacterPair>& pairs = pairs_by_code_point();
  for (size_t at = 0; at < utf8.size();) {
    const char32_t code = next_code_point(utf8, &at);
    if (code < 0x80) {
      cp936->push_back(static_cast<char>(code));
      continue;
    }
    if (code == kEuroSign) {
      cp936->push_back('\x80');
      continue;
    }
    const auto found = std::lower_bound(
        pairs.begin(), pairs.end(), code,
        [](const CharacterPair& pair, char32_t wanted) { return pair.code < wanted; });
    if (found == pairs.end() || found->code != code) return false;
    cp936->push_back(static_cast<char>(found->lead));
    cp936->push_back(static_cast<char>(found->trail));
  }
  return true;
}
