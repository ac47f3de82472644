// Window messages across processes, each bounded by kReplyTimeoutMs.
#include "tests/windows/window_access.h"

#include "tests/windows/tool_process.h"

namespace {

// The identifier of a message box's text; Windows and Wine both use it.
constexpr int kMessageBoxTextId = 0xFFFF;

// The buttons a message box may have, in identifier order.
constexpr int kMessageBoxButtons[] = {IDOK, IDCANCEL, IDABORT, IDRETRY, IDIGNORE, IDYES, IDNO};

bool send(HWND window, UINT message, WPARAM wparam, LPARAM lparam, DWORD_PTR* result) {
  return SendMessageTimeoutW(window, message, wparam, lparam, SMTO_NORMAL, kReplyTimeoutMs,
                             result) != 0;
}

}  // namespace

std::wstring window_text(HWND window) {
  DWORD_PTR length = 0;
  if (!send(window, WM_GETTEXTLENGTH, 0, 0, &length)) return L"<no answer>";
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  if (!send(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), &copied)) {
    return L"<no answer>";
  }
  text.resize(copied);
  return text;
}

bool set_window_text(HWND window, const std::wstring& text) {
  DWORD_PTR accepted = 0;
  return send(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), &accepted) &&
         accepted == TRUE;
}

std::wstring window_class(HWND window) {
  wchar_t name[256];
  return std::wstring(name, GetClassNameW(window, name, 256));
}

std::vector<HWND> child_windows(HWND parent) {
  std::vector<HWND> children;
  for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    children.push_back(child);
  }
  return children;
}

RECT rect_in_parent(HWND child) {
  RECT rect = {};
  GetWindowRect(child, &rect);
  MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

MessageBoxView read_message_box(HWND box) {
  MessageBoxView view;
  view.title = window_text(box);
  HWND text = GetDlgItem(box, kMessageBoxTextId);
  if (text != nullptr) view.text = window_text(text);
  view.owner = GetWindow(box, GW_OWNER);
  for (int id : kMessageBoxButtons) {
    HWND button = GetDlgItem(box, id);
    if (button != nullptr && IsWindowVisible(button)) view.buttons.push_back(id);
  }
  return view;
}

bool press_message_box_button(HWND box, int button_id) {
  HWND button = GetDlgItem(box, button_id);
  DWORD_PTR ignored = 0;
  return button != nullptr && send(button, BM_CLICK, 0, 0, &ignored);
}
