// Control characters as their pictures.
#include "cli/terminal_text.h"

#include "encoding/cp936_to_utf8.h"

namespace {

constexpr unsigned char kDelete = 0x7F;

bool is_control(unsigned char byte) { return byte < 0x20 || byte == kDelete; }

// Writes the picture of the control byte `byte`: U+2400 plus the byte,
// U+2421 for DEL; in UTF-8, E2 90 80 plus the same.
char* put_picture(char* out, unsigned char byte) {
  const unsigned char offset = byte == kDelete ? 0x21 : byte;
  out[0] = '\xE2';
  out[1] = '\x90';
  out[2] = static_cast<char>(0x80 + offset);
  return out + 3;
}

}  // namespace

char* put_cp936_as_visible_utf8(char* out, std::string_view text) {
  // The text between control bytes converts as any text does: no
  // character of code page 936 holds a control byte, so none is split.
  for (size_t at = 0; at < text.size();) {
    size_t end = at;
    while (end < text.size() && !is_control(static_cast<unsigned char>(text[end]))) ++end;
    out = put_cp936_as_utf8(out, text.substr(at, end - at));
    if (end == text.size()) break;
    out = put_picture(out, static_cast<unsigned char>(text[end]));
    at = end + 1;
  }
  return out;
}
