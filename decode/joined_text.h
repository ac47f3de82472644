// Texts joined from pieces and numbers, for the notes that readers and
// walks write: one call instead of a chain of concatenations, each of
// which would build a string of its own.
#ifndef DECODE_JOINED_TEXT_H_
#define DECODE_JOINED_TEXT_H_

#include <initializer_list>
#include <string>
#include <string_view>

// One piece of a joined text: characters, or an integer written in decimal.
class TextPiece {
 public:
  // Implicit, so that a list of pieces reads as the text it makes.
  TextPiece(const char* text) : text_(text) {}
  TextPiece(std::string_view text) : text_(text) {}
  TextPiece(const std::string& text) : text_(text) {}
  TextPiece(int number) : number_(number), is_number_(true) {}

  // Appends this piece to `*text`.
  void append_to(std::string* text) const;

 private:
  std::string_view text_;
  int number_ = 0;
  bool is_number_ = false;
};

// The pieces written one after another.
std::string joined_text(std::initializer_list<TextPiece> pieces);

#endif  // DECODE_JOINED_TEXT_H_
