// Notes and the status line on standard error. The status line is erased
// by writing blanks over it, which every terminal and console understands.
#include "cli/status_line.h"

#include <cstdio>
#include <string>

namespace {

size_t shown_length = 0;  // of the status line on the screen; 0 when none is
std::string line;         // what goes to standard error in one write

// Writes `line` in one piece: standard error is unbuffered.
void write_line() {
  std::fwrite(line.data(), 1, line.size(), stderr);
  line.clear();
}

// Appends what takes the cursor to the start of an empty status line.
void append_erase() {
  if (shown_length == 0) return;
  line.push_back('\r');
  line.append(shown_length, ' ');
  line.push_back('\r');
  shown_length = 0;
}

}  // namespace

void write_note(std::string_view text) {
  append_erase();
  line.append(text);
  line.push_back('\n');
  write_line();
}

void show_status_line(std::string_view text) {
  line.push_back('\r');
  line.append(text);
  // Blanks over the rest of a longer line before.
  if (text.size() < shown_length) line.append(shown_length - text.size(), ' ');
  shown_length = text.size();
  write_line();
}

void erase_status_line() {
  append_erase();
  if (!line.empty()) write_line();
}
