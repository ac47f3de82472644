// UTF-8 to UTF-16, low byte first.
#include "encoding/utf8_to_utf16.h"

#include <cstdint>
#include <cstring>

#include "encoding/cp936_to_utf8.h"

namespace {

// Whether all eight bytes of `word` are ASCII.
bool all_ascii(uint64_t word) { return (word & 0x8080808080808080u) == 0; }

// The four bytes of `bytes` as four 16-bit units, low byte first on a
// little-endian machine.
uint64_t widened(uint32_t bytes) {
  uint64_t units = bytes;
  units = (units | units << 16) & 0x0000FFFF0000FFFFu;
  return (units | units << 8) & 0x00FF00FF00FF00FFu;
}

}  // namespace

void append_utf8_as_utf16le(std::string_view utf8, std::string* utf16) {
  // Room for the most it can take, two bytes for every byte, written in
  // place: a call for every character costs more than the character.
  const size_t start = utf16->size();
  utf16->resize(start + 2 * utf8.size());
  char* const begin = &(*utf16)[start];
  char* out = begin;
  const auto unit = [&out](char32_t value) {
    out[0] = static_cast<char>(value & 0xFF);
    out[1] = static_cast<char>(value >> 8);
    out += 2;
  };
  size_t at = 0;
  while (at < utf8.size()) {
    // Most text is ASCII, which goes over eight bytes at a time; the
    // units are written in this machine's order, and WebAssembly is
    // little-endian.
    uint64_t word;
    if (at + 8 <= utf8.size() && (std::memcpy(&word, utf8.data() + at, 8), all_ascii(word))) {
      const uint64_t low = widened(static_cast<uint32_t>(word));
      const uint64_t high = widened(static_cast<uint32_t>(word >> 32));
      std::memcpy(out, &low, 8);
      std::memcpy(out + 8, &high, 8);
      out += 16;
      at += 8;
      continue;
    }
    size_t length;
    const char32_t code = read_utf8_character(utf8, at, &length);
    at += length;
    if (code < 0x10000) {
      unit(code);
    } else {
      unit(0xD800 + ((code - 0x10000) >> 10));
      unit(0xDC00 + ((code - 0x10000) & 0x3FF));
    }
  }
  utf16->resize(start + static_cast<size_t>(out - begin));
}
