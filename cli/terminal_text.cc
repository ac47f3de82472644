// Control characters as their pictures.
#include "cli/terminal_text.h"

#include "encoding/cp936_to_utf8.h"

namespace {

constexpr unsigned char kDelete = 0x7F;

bool is_control(unsigned char byte) { return byte < 0x20 || byte == kDelete; }

// Appends the picture of the control byte `byte`: U+2400 plus the byte,
// U+2421 for DEL; in UTF-8, E2 90 80 plus the same.
void append_picture(unsigned char byte, std::string* utf8) {
  const unsigned char offset = byte == kDelete ? 0x21 : byte;
  const char picture[3] = {'\xE2', '\x90', static_cast<char>(0x80 + offset)};
  utf8->append(picture, sizeof picture);
}

}  // namespace

void append_cp936_as_visible_utf8(std::string_view text, std::string* utf8) {
  // The text between control bytes converts as any text does: no
  // character of code page 936 holds a control byte, so none is split.
  for (size_t at = 0; at < text.size();) {
    size_t end = at;
    while (end < text.size() && !is_control(static_cast<unsigned char>(text[end]))) ++end;
    if (end > at) append_cp936_as_utf8(text.substr(at, end - at), utf8);
    if (end == text.size()) break;
    append_picture(static_cast<unsigned char>(text[end]), utf8);
    at = end + 1;
  }
}
