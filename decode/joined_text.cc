// Texts joined from pieces and numbers.
#include "decode/joined_text.h"

#include <charconv>

void TextPiece::append_to(std::string* text) const {
  if (!is_number_) {
    text->append(text_);
    return;
  }
  char digits[16];
  const std::to_chars_result written = std::to_chars(digits, digits + sizeof digits, number_);
  text->append(digits, written.ptr);
}

std::string joined_text(std::initializer_list<TextPiece> pieces) {
  std::string text;
  for (const TextPiece& piece : pieces) piece.append_to(&text);
  return text;
}
