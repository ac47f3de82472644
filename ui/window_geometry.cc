// The main window's rectangle from the screen's size.
#include "ui/window_geometry.h"

namespace {

// What the window leaves free at the bottom of the screen.
constexpr int kBottomMargin = 40;

}  // namespace

WindowGeometry main_window_geometry(int screen_width, int screen_height) {
  WindowGeometry geometry;
  geometry.left = (screen_width - kMainWindowWidth) / 2;
  geometry.top = 0;
  geometry.width = kMainWindowWidth;
  geometry.height = screen_height - kBottomMargin;
  return geometry;
}
