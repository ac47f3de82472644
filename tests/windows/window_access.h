// Reading and writing another process's windows through window messages:
// texts, classes, children, positions, and the parts of a message box.
#ifndef TESTS_WINDOWS_WINDOW_ACCESS_H_
#define TESTS_WINDOWS_WINDOW_ACCESS_H_

#include <windows.h>

#include <string>
#include <vector>

// The window's text, read with WM_GETTEXT.
std::wstring window_text(HWND window);

// Replaces the window's text with WM_SETTEXT; false when it did not answer
// or refused.
bool set_window_text(HWND window, const std::wstring& text);

// The name of the window's class.
std::wstring window_class(HWND window);

// The window's direct children, in the order Windows keeps them (for
// controls created one after another, the order of their creation).
std::vector<HWND> child_windows(HWND parent);

// The child window's outer rectangle in its parent's client coordinates.
RECT rect_in_parent(HWND child);

// What a message box shows.
struct MessageBoxView {
  std::wstring title;
  std::wstring text;
  HWND owner = nullptr;
  std::vector<int> buttons;  // identifiers of the visible buttons (IDOK...)
};

// Reads the message box `box`.
MessageBoxView read_message_box(HWND box);

// Presses the button `button_id` (IDOK, IDYES...) of the message box `box`;
// false when it has no such button or it did not answer.
bool press_message_box_button(HWND box, int button_id);

#endif  // TESTS_WINDOWS_WINDOW_ACCESS_H_
