// Conversion of the report's code page 936 text to UTF-8 for terminals
// and scripts.
#ifndef CLI_CP936_TO_UTF8_H_
#define CLI_CP936_TO_UTF8_H_

#include <string>
#include <string_view>

// Appends `text`, code page 936 with CR LF line ends, to `utf8` as UTF-8
// with LF line ends. A byte that does not start a valid character becomes
// U+FFFD; an ASCII byte after it is read on its own.
void append_cp936_as_utf8(std::string_view text, std::string* utf8);

#endif  // CLI_CP936_TO_UTF8_H_
