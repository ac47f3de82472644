// Reading the field definitions from the definition file, normally
// bitmap.ini in the current directory. Each line is
//   field number | max length | length digits   # optional comment
// with blanks anywhere and runs of '|' counting as one separator. The
// comment, without its surrounding blanks, is the field's name.
#ifndef DECODE_DEFINITION_FILE_H_
#define DECODE_DEFINITION_FILE_H_

#include <string_view>


// Where and why reading stopped at an invalid line.
struct DefinitionProblem {
  long line = 0;             // from 1; 0 when every line was read
  const char* reason = "";  // "field number below 1", …
};

// The same for the contents of a definition file already in memory; when
// a line ends the reading as invalid and `problem` is given, it receives
// that line's number and the reason.
int parse_field_defs(std::string_view contents, DefinitionProblem* problem = nullptr);

// Clears field_defs, reads the definition file at `path` into it and
// prepares the field storage. Returns 0 when the file was read, or -1 when
// it cannot be opened or read (after showing "fopen error", with errno
// telling the reporter why; nothing is defined) or when a line ended the
// reading as invalid (the rows before it keep their definitions and
// storage; `problem`, when given, receives where and why).
int load_field_defs(const char* path = "bitmap.ini", DefinitionProblem* problem = nullptr);


#endif  // DECODE_DEFINITION_FILE_H_
