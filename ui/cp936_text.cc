// Texts of Windows code pages <-> UTF-16 through the Windows conversion
// functions.
#include "ui/cp936_text.h"

#include <windows.h>

namespace {

constexpr UINT kCodePage936 = 936;

}  // namespace

WideText text_to_wide(std::string_view text, unsigned code_page) {
  const int length = static_cast<int>(text.size());
  const int wide_length =
      text.empty() ? 0 : MultiByteToWideChar(code_page, 0, text.data(), length, nullptr, 0);
  WideText wide(static_cast<size_t>(wide_length) + 1, L'\0');
  if (wide_length > 0) MultiByteToWideChar(code_page, 0, text.data(), length, wide.data(), wide_length);
  return wide;
}

WideText cp936_to_wide(std::string_view cp936) { return text_to_wide(cp936, kCodePage936); }

std::string wide_to_cp936(const wchar_t* wide, int length) {
  if (length <= 0) return std::string();
  const int cp936_length =
      WideCharToMultiByte(kCodePage936, 0, wide, length, nullptr, 0, nullptr, nullptr);
  std::string cp936(static_cast<size_t>(cp936_length), '\0');
  WideCharToMultiByte(kCodePage936, 0, wide, length, cp936.data(), cp936_length, nullptr, nullptr);
  return cp936;
}
