// Control characters as their pictures.
#include "cli/terminal_text.h"

#include "encoding/cp936_to_utf8.h"

namespace {

constexpr unsigned char kDelete = 0x7F;

bool is_control(char ch) {
  const unsigned char byte = static_cast<unsigned char>(ch);
  return byte < 0x20 || byte == kDelete;
}

// Appends the picture of the control byte `byte`: U+2400 plus the byte,
// U+2421 for DEL; in UTF-8, E2 90 80 plus the same.
void append_picture(unsigned char byte, std::string* utf8) {
  const unsigned char offset = byte == kDelete ? 0x21 : byte;
  utf8->push_back('\xE2');
  utf8->push_back('\x90');
  utf8->push_back(static_cast<char>(0x80 + offset));
}

}  // namespace

void append_cp936_as_visible_utf8(std::string_view text, std::string* utf8) {
  size_t start = 0;
  for (size_t at = 0; at < text.size(); ++at) {
    if (!is_control(text[at])) continue;
    append_cp936_as_utf8(text.substr(start, at - start), utf8);
    append_picture(static_cast<unsigned char>(text[at]), utf8);
    start = at + 1;
  }
  append_cp936_as_utf8(text.substr(start), utf8);
}
