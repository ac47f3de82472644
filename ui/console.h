// Text for a Windows console: written as UTF-16 through the console API,
// so that Chinese shows whatever the console's code page.
#ifndef UI_CONSOLE_H_
#define UI_CONSOLE_H_

#include <cstdio>
#include <string_view>

// The code pages of the texts the programs write.
constexpr unsigned kUtf8CodePage = 65001;
constexpr unsigned kCp936CodePage = 936;

// Whether `file` is a console window.
bool is_console(std::FILE* file);

// Writes `text`, encoded in `code_page`, to the console of `file`. Returns
// false when the console refuses it.
bool write_to_console(std::FILE* file, std::string_view text, unsigned code_page);

#endif  // UI_CONSOLE_H_
