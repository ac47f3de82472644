// Standard error of the command-line programs: notes, one line each, and
// on a terminal a status line below them (the progress of a long run). A
// note first erases the status line; the next status shown draws it again
// below.
#ifndef CLI_STATUS_LINE_H_
#define CLI_STATUS_LINE_H_

#include <string_view>

// Writes `text` and a line feed on standard error.
void write_note(std::string_view text);

// Shows `text`, which holds no line end, as the status line in place of
// the one before.
void show_status_line(std::string_view text);

// Erases the status line, if one is shown.
void erase_status_line();

#endif  // CLI_STATUS_LINE_H_
