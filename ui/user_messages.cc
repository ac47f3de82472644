// The error box and the close question.
#include "ui/user_messages.h"

#include "ui/cp936_text.h"

namespace {

constexpr char kErrorTitle[] = "\xB4\xED\xCE\xF3";   // 错误
constexpr char kNoticeTitle[] = "\xCC\xE1\xCA\xBE";  // 提示
constexpr char kCloseQuestion[] =
    "\xCA\xC7\xB7\xF1\xB9\xD8\xB1\xD5\xB3\xCC\xD0\xF2?";  // 是否关闭程序?

}  // namespace

void show_error(const char* message) {
  MessageBoxW(nullptr, cp936_to_wide(message).data(), cp936_to_wide(kErrorTitle).data(),
              MB_ICONERROR);
}

bool confirm_close(HWND owner) {
  return MessageBoxW(owner, cp936_to_wide(kCloseQuestion).data(),
                     cp936_to_wide(kNoticeTitle).data(), MB_ICONQUESTION | MB_YESNO) == IDYES;
}
