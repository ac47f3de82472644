// The program's only window: the input box for the hexadecimal message, the
// output box for the report, and the Parse and Clear buttons between them.
#ifndef UI_MAIN_WINDOW_H_
#define UI_MAIN_WINDOW_H_

#include <windows.h>

// Registers the main window's class, "trevasktools"; false when Windows
// refuses.
bool register_main_window_class(HINSTANCE instance);

// Creates the main window, placed and sized from the screen; its creation
// creates the four controls. Returns nullptr when Windows refuses.
HWND create_main_window(HINSTANCE instance);

// The main window's procedure: creates the controls, runs Parse and Clear,
// asks before closing and ends the message loop when the window goes.
LRESULT CALLBACK main_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

#endif  // UI_MAIN_WINDOW_H_
