// Conversions between the program's texts, which are code page 936 (GBK)
// bytes, and the UTF-16 texts of the wide-character Windows functions. Going
// through them, rather than the ANSI functions, shows the Chinese texts
// correctly whatever the system's ANSI code page is.
#ifndef UI_CP936_TEXT_H_
#define UI_CP936_TEXT_H_

#include <string>
#include <string_view>
#include <vector>

// A UTF-16 text with its terminating zero, for the wide-character
// functions. A vector rather than std::wstring, whose library code would
// take a tenth of the program's size.
using WideText = std::vector<wchar_t>;

// The UTF-16 text of `text`, which is in the Windows code page
// `code_page`. Bytes that form no character become Windows' replacement
// for them.
WideText text_to_wide(std::string_view text, unsigned code_page);

// The UTF-16 text of the code page 936 text `cp936`.
WideText cp936_to_wide(std::string_view cp936);

// The code page 936 text of the first `length` characters of the UTF-16
// text `wide`. Characters that code page 936 lacks become '?'.
std::string wide_to_cp936(const wchar_t* wide, int length);

#endif  // UI_CP936_TEXT_H_
