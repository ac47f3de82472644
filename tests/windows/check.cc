// Recording and printing the window tests' checks.
#include "tests/windows/check.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>

namespace {

int failures = 0;

// How much of each text a failed text check shows.
constexpr size_t kShownCharacters = 60;

// `text` with line ends and other control characters made visible.
std::wstring visible(const std::wstring& text) {
  std::wstring shown;
  for (wchar_t c : text) {
    if (c == L'\r') {
      shown += L"\\r";
    } else if (c == L'\n') {
      shown += L"\\n";
    } else if (c < 0x20) {
      wchar_t escaped[8];
      swprintf(escaped, 8, L"\\x%02X", static_cast<unsigned>(c));
      shown += escaped;
    } else {
      shown += c;
    }
  }
  return shown;
}

}  // namespace

std::string to_utf8(const std::wstring& text) {
  if (text.empty()) return std::string();
  const int length = static_cast<int>(text.size());
  const int utf8_length =
      WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
  std::string utf8(utf8_length, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), length, utf8.data(), utf8_length, nullptr, nullptr);
  return utf8;
}

bool check(bool condition, const std::string& what) {
  if (!condition) {
    ++failures;
    std::printf("FAILED: %s\n", what.c_str());
    std::fflush(stdout);
  }
  return condition;
}

bool check_equal(long long actual, long long expected, const std::string& what) {
  return check(actual == expected, what + ": expected " + std::to_string(expected) + ", found " +
                                       std::to_string(actual));
}

bool check_text(const std::wstring& actual, const std::wstring& expected, const std::string& what) {
  if (actual == expected) return check(true, what);
  const auto parted = std::mismatch(actual.begin(), actual.end(), expected.begin(), expected.end());
  const size_t at = parted.first - actual.begin();
  return check(false, what + ": " + std::to_string(actual.size()) + " characters found, " +
                          std::to_string(expected.size()) + " expected; they part at " +
                          std::to_string(at) + "\n  expected \"" +
                          to_utf8(visible(expected.substr(at, kShownCharacters))) +
                          "\"\n  found    \"" +
                          to_utf8(visible(actual.substr(at, kShownCharacters))) + "\"");
}

int failed_checks() { return failures; }
