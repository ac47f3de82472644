// Control characters as their pictures.
#include "cli/terminal_text.h"

#include <cstring>

#include "encoding/cp936_to_utf8.h"

namespace {

constexpr unsigned char kDelete = 0x7F;

bool is_control(unsigned char byte) { return byte < 0x20 || byte == kDelete; }

bool is_visible_ascii(unsigned char byte) { return byte >= 0x20 && byte < kDelete; }

// Writes the picture of the control byte `byte`: U+2400 plus the byte,
// U+2421 for DEL; in UTF-8, E2 90 80 plus the same.
char* put_picture(char* out, unsigned char byte) {
  const unsigned char offset = byte == kDelete ? 0x21 : byte;
  out[0] = '\xE2';
  out[1] = '\x90';
  out[2] = static_cast<char>(0x80 + offset);
  return out + 3;
}

// The bytes of the code page 936 character at text[at] that is not ASCII:
// two for a lead byte and the trail byte after it, else one.
size_t character_length(std::string_view text, size_t at) {
  const unsigned char lead = static_cast<unsigned char>(text[at]);
  if (lead < 0x81 || lead > 0xFE || at + 1 == text.size()) return 1;
  const unsigned char trail = static_cast<unsigned char>(text[at + 1]);
  return trail >= 0x40 && trail <= 0xFE && trail != kDelete ? 2 : 1;
}

}  // namespace

char* put_cp936_as_visible_utf8(char* out, std::string_view text) {
  for (size_t at = 0; at < text.size();) {
    // Most data is visible ASCII, which goes over in runs.
    size_t run_end = at;
    while (run_end < text.size() && is_visible_ascii(static_cast<unsigned char>(text[run_end]))) {
      ++run_end;
    }
    std::memcpy(out, text.data() + at, run_end - at);
    out += run_end - at;
    if (run_end == text.size()) break;
    at = run_end;
    const unsigned char byte = static_cast<unsigned char>(text[at]);
    if (is_control(byte)) {
      out = put_picture(out, byte);
      ++at;
      continue;
    }
    const size_t length = character_length(text, at);
    out = put_cp936_as_utf8(out, text.substr(at, length));
    at += length;
  }
  return out;
}
