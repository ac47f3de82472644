// Hexadecimal text: bytes written as upper-case digit pairs, and the values
// of hexadecimal digits read back strictly.
#ifndef DECODE_HEX_TEXT_H_
#define DECODE_HEX_TEXT_H_

#include <cstddef>

// Writes `count` bytes as upper-case hexadecimal into `text`: 2 * count
// characters, no terminating zero.
void render_hex(const unsigned char* bytes, size_t count, char* text);

// The value of the hexadecimal digit `digit` (either case), or -1 for any
// other character.
int hex_digit_value(char digit);

#endif  // DECODE_HEX_TEXT_H_
