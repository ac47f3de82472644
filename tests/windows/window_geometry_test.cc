// Unit test of the main window's place and size on screens of several
// sizes, including ones narrower than the window.
#include "ui/window_geometry.h"

#include <cstdio>

namespace {

int failures = 0;

void expect_geometry(int screen_width, int screen_height, int left, int height) {
  const WindowGeometry geometry = main_window_geometry(screen_width, screen_height);
  const bool right = geometry.left == left && geometry.top == 0 && geometry.width == 600 &&
                     geometry.height == height;
  std::printf("%s: screen %dx%d gives left %d, top %d, %dx%d; expected left %d, top 0, 600x%d\n",
              right ? "ok" : "FAILED", screen_width, screen_height, geometry.left, geometry.top,
              geometry.width, geometry.height, left, height);
  if (!right) ++failures;
}

}  // namespace

int main() {
  expect_geometry(1024, 768, 212, 728);
  expect_geometry(1920, 1080, 660, 1040);
  expect_geometry(601, 600, 0, 560);
  expect_geometry(599, 600, 0, 560);   // -1 / 2 truncates toward zero
  expect_geometry(598, 600, -1, 560);  // -2 / 2
  expect_geometry(597, 600, -1, 560);  // -3 / 2
  return failures == 0 ? 0 : 1;
}
