// iso8583tool.exe, the window program: pastes of hexadecimal ISO 8583
// messages go in its upper box, their decoded fields come out in the lower.
// Start-up registers and shows the window, then reads bitmap.ini from the
// current directory, so that its errors appear over the visible window.
#include <windows.h>

#include "ui/main_window.h"
#include "ui/user_messages.h"
#include "window_decode/error_report.h"
#include "window_decode/field_defs_loader.h"

namespace {

constexpr char kCannotRegisterClass[] =
    "\xCE\xDE\xB7\xA8\xD7\xA2\xB2\xE1\xB4\xB0\xBF\xDA\xC0\xE0!";  // 无法注册窗口类!
constexpr char kCannotCreateWindow[] =
    "\xCE\xDE\xB7\xA8\xB4\xB4\xBD\xA8\xB4\xB0\xBF\xDA!";  // 无法创建窗口!

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show_command) {
  set_error_reporter(show_error);
  if (!register_main_window_class(instance)) {
    show_error(kCannotRegisterClass);
    return 0;
  }
  HWND window = create_main_window(instance);
  if (window == nullptr) {
    // Without its window the program could never be closed: end instead.
    show_error(kCannotCreateWindow);
    return 0;
  }
  ShowWindow(window, show_command);
  UpdateWindow(window);
  load_field_defs();  // Its failures have shown their messages; the window works on.

  MSG message = {};
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}
