// Whether every byte of a text belongs to a class, tested sixteen bytes at
// a time where the processor has SSE2: the outputs ask it of every value
// they write, to know whether it goes over as it is.
#ifndef ENCODING_BYTE_SCAN_H_
#define ENCODING_BYTE_SCAN_H_

#include <cstddef>
#include <string_view>

// Whether every byte of `text` is visible ASCII, 0x20 to 0x7E: text that
// reads the same in code page 936 and in UTF-8, and moves no cursor.
bool is_visible_ascii(std::string_view text);

// The same without the quote and the backslash: ASCII that a JSON string
// holds as it is.
bool is_plain_json_ascii(std::string_view text);

// Whether no byte of `text` is a control character (below 0x20), the
// quote or the backslash: UTF-8 that a JSON string holds as it is.
bool is_plain_json_text(std::string_view text);

// Whether `byte` reads the same in code page 936 with CR LF line ends and
// in UTF-8 with LF line ends, whatever follows it: ASCII other than the
// carriage return.
inline bool is_shared_ascii(unsigned char byte) { return byte < 0x80 && byte != '\r'; }

// Copies the run of such bytes at the start of `text` to `out` and returns
// its length. `out` has room for all of `text`: the copy goes in blocks,
// so bytes of `text` after the run may be copied too, for the caller to
// overwrite.
size_t copy_shared_ascii(std::string_view text, char* out);

#endif  // ENCODING_BYTE_SCAN_H_
