// Conversion of the report's code page 936 text to UTF-8 for terminals
// and scripts, and of UTF-8 texts back to code page 936.
#ifndef ENCODING_CP936_TO_UTF8_H_
#define ENCODING_CP936_TO_UTF8_H_

#include <cstddef>
#include <string>
#include <string_view>

// Appends `text`, code page 936 with CR LF line ends, to `utf8` as UTF-8
// with LF line ends. A byte that does not start a valid character becomes
// U+FFFD; an ASCII byte after it is read on its own.
void append_cp936_as_utf8(std::string_view text, std::string* utf8);

// The most bytes of UTF-8 that one byte of code page 936 becomes.
constexpr size_t kUtf8BytesPerCp936Byte = 3;

// Writes `text` as append_cp936_as_utf8 appends it, at `out`, which has
// room for kUtf8BytesPerCp936Byte bytes for each byte of `text`; returns
// the end.
char* put_cp936_as_utf8(char* out, std::string_view text);

// Whether `bytes` are printable code page 936 text: ASCII from space to
// '~' and two-byte characters, with no control bytes.
bool is_printable_cp936(std::string_view bytes);

// Whether `text` is well-formed UTF-8.
bool is_utf8(std::string_view text);

// The character of the well-formed UTF-8 sequence at text[at], which must
// be within `text`, with its byte count in `*length`; U+FFFD and 1 when
// none starts there.
char32_t read_utf8_character(std::string_view text, size_t at, size_t* length);

// Appends `text` to `utf8`: unchanged when it is UTF-8 already, otherwise
// read as code page 936. For texts that users write in either, such as the
// comments of a definition file.
void append_text_as_utf8(std::string_view text, std::string* utf8);

// Appends UTF-8 `utf8` to `cp936` as code page 936 text. Returns false when
// `utf8` is not well-formed or holds a character code page 936 lacks.
bool append_utf8_as_cp936(std::string_view utf8, std::string* cp936);

#endif  // ENCODING_CP936_TO_UTF8_H_
