// Code page 936 to UTF-8, by a table of the two-byte characters.
#include "encoding/cp936_to_utf8.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "encoding/byte_scan.h"

#include "encoding/cp936_table.inc"

namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr char32_t kEuroSign = 0x20AC;  // the single byte 0x80

// Writes `code` (below U+10000) in UTF-8 at `out`; returns the end.
char* put_code_point(char* out, char32_t code) {
  if (code < 0x80) {
    *out++ = static_cast<char>(code);
  } else if (code < 0x800) {
    *out++ = static_cast<char>(0xC0 | (code >> 6));
    *out++ = static_cast<char>(0x80 | (code & 0x3F));
  } else {
    *out++ = static_cast<char>(0xE0 | (code >> 12));
    *out++ = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    *out++ = static_cast<char>(0x80 | (code & 0x3F));
  }
  return out;
}

// The character of the pair `lead`, `trail`, or 0 when there is none.
char32_t pair_code_point(unsigned char lead, unsigned char trail) {
  if (lead < 0x81 || lead > 0xFE || trail < 0x40 || trail > 0xFE) return 0;
  return kCp936Pairs[lead - 0x81][trail - 0x40];
}

}  // namespace

char* put_cp936_as_utf8(char* out, std::string_view text) {
  const unsigned char* in = reinterpret_cast<const unsigned char*>(text.data());
  const size_t size = text.size();
  size_t at = 0;
  while (at < size) {
    const unsigned char byte = in[at];
    if (is_shared_ascii(byte)) {
      // Most of a report is plain ASCII, which goes over in runs.
      const size_t run = copy_shared_ascii(text.substr(at), out);
      at += run;
      out += run;
      continue;
    }
    ++at;
    if (byte == '\r') {
      if (at == size || in[at] != '\n') *out++ = '\r';
      continue;
    }
    if (byte == 0x80) {
      out = put_code_point(out, kEuroSign);
      continue;
    }
    const unsigned char trail = at < size ? in[at] : 0;
    const char32_t code = pair_code_point(byte, trail);
    if (code != 0) {
      out = put_code_point(out, code);
      ++at;
      continue;
    }
    out = put_code_point(out, kReplacement);
    if (byte != 0xFF && trail >= 0x80) ++at;  // a lead byte's non-ASCII partner goes with it
  }
  return out;
}

void append_cp936_as_utf8(std::string_view text, std::string* utf8) {
  const size_t start = utf8->size();
  utf8->resize(start + kUtf8BytesPerCp936Byte * text.size());
  char* end = put_cp936_as_utf8(&(*utf8)[start], text);
  utf8->resize(static_cast<size_t>(end - utf8->data()));
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
