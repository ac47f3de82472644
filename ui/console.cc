// Console output through WriteConsoleW.
#include "ui/console.h"

#include <io.h>
#include <windows.h>

#include "ui/cp936_text.h"

namespace {

HANDLE console_of(std::FILE* file) {
  return reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
}

}  // namespace

bool is_console(std::FILE* file) {
  DWORD mode;
  return GetConsoleMode(console_of(file), &mode) != 0;
}

bool write_to_console(std::FILE* file, std::string_view text, unsigned code_page) {
  const WideText wide = text_to_wide(text, code_page);
  // The report's CR LF line ends are what a console wants; UTF-8 output has
  // bare line feeds, which a console also takes. The terminating zero is
  // not written.
  const wchar_t* cursor = wide.data();
  DWORD left = static_cast<DWORD>(wide.size() - 1);
  while (left > 0) {
    DWORD written = 0;
    if (!WriteConsoleW(console_of(file), cursor, left, &written, nullptr) || written == 0) {
      return false;
    }
    cursor += written;
    left -= written;
  }
  return true;
}
