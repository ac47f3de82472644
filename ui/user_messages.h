// The message boxes through which the window program speaks to the user.
#ifndef UI_USER_MESSAGES_H_
#define UI_USER_MESSAGES_H_

#include <windows.h>

// Shows the code page 936 text `message` in a modal box with no owner
// window, the title "错误" (error) and the error icon. Its signature lets the
// decoding library show its own errors through it.
void show_error(const char* message);

// Asks whether to close the program, in a modal box owned by `owner`;
// true when the user answers Yes.
bool confirm_close(HWND owner);

#endif  // UI_USER_MESSAGES_H_
