// Where the main window goes: a fixed width, centred across the screen,
// from the top of the screen to 40 pixels above its bottom.
#ifndef UI_WINDOW_GEOMETRY_H_
#define UI_WINDOW_GEOMETRY_H_

// The main window's width in pixels, whatever the screen.
constexpr int kMainWindowWidth = 600;

// A window's outer rectangle, in screen coordinates.
struct WindowGeometry {
  int left;
  int top;
  int width;
  int height;
};

// The main window's rectangle on a screen of the given size. The left edge
// is (screen_width - 600) / 2 truncated toward zero, so a screen narrower
// than the window puts it at 0 or a little to the left of the screen.
WindowGeometry main_window_geometry(int screen_width, int screen_height);

#endif  // UI_WINDOW_GEOMETRY_H_
