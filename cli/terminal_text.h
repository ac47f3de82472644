// Text that is safe on a terminal: message bytes in UTF-8 with every
// control character (C0, DEL) shown as its picture from the Unicode
// block Control Pictures (U+2400 to U+2421), so that no byte of a message
// can move the cursor, end a line or start an escape sequence.
#ifndef CLI_TERMINAL_TEXT_H_
#define CLI_TERMINAL_TEXT_H_

#include <string_view>

// Writes `text`, code page 936, at `out` as put_cp936_as_utf8 does, but
// with every control byte (0x00 to 0x1F and 0x7F) as its picture: ESC as
// U+241B "␛", LF as U+240A "␊", DEL as U+2421 "␡". `out` has room for
// kUtf8BytesPerCp936Byte bytes for each byte of `text`; returns the end.
char* put_cp936_as_visible_utf8(char* out, std::string_view text);

#endif  // CLI_TERMINAL_TEXT_H_
