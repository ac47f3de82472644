// Code page 936 <-> UTF-16 through the Windows conversion functions.
#include "ui/cp936_text.h"

#include <windows.h>

namespace {

constexpr UINT kCodePage936 = 936;

}  // namespace

std::wstring cp936_to_wide(std::string_view cp936) {
  if (cp936.empty()) return std::wstring();
  const int cp936_length = static_cast<int>(cp936.size());
  const int wide_length =
      MultiByteToWideChar(kCodePage936, 0, cp936.data(), cp936_length, nullptr, 0);
  std::wstring wide(wide_length, L'\0');
  MultiByteToWideChar(kCodePage936, 0, cp936.data(), cp936_length, wide.data(), wide_length);
  return wide;
}

std::string wide_to_cp936(std::wstring_view wide) {
  if (wide.empty()) return std::string();
  const int wide_length = static_cast<int>(wide.size());
  const int cp936_length =
      WideCharToMultiByte(kCodePage936, 0, wide.data(), wide_length, nullptr, 0, nullptr, nullptr);
  std::string cp936(cp936_length, '\0');
  WideCharToMultiByte(kCodePage936, 0, wide.data(), wide_length, cp936.data(), cp936_length,
                      nullptr, nullptr);
  return cp936;
}
