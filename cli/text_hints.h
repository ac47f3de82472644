// What is wrong with a text that should be hexadecimal, told so that a
// person can act: the bad character shown safely, and hints at the option
// that reads the input as it really is (--hexdump, --binary, --each-line).
#ifndef CLI_TEXT_HINTS_H_
#define CLI_TEXT_HINTS_H_

#include <string>
#include <string_view>
#include <vector>

// The character of `text` at `offset` as it can be shown on any terminal:
// "G" for visible ASCII, "U+001B" for a control character or a character
// of well-formed UTF-8, "byte 0xCA" for a byte that starts none.
std::string shown_character(std::string_view text, size_t offset);

// The hints for a text that holds characters other than hexadecimal
// digits and blanks: the input looks like a hex dump (--hexdump), or holds
// bytes that are not text (--binary). Each hint is one sentence.
std::vector<std::string> non_hex_hints(std::string_view text);

// The number of lines of `text` that hold more than blanks.
size_t count_non_blank_lines(std::string_view text);

#endif  // CLI_TEXT_HINTS_H_
