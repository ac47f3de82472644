// Reading the field definitions from the definition file, normally
// bitmap.ini in the current directory. Each line is
//   field number | max length | length digits   # optional comment
// with blanks anywhere and runs of '|' counting as one separator. The
// comment, without its surrounding blanks, is the field's name.
#ifndef DECODE_DEFINITION_FILE_H_
#define DECODE_DEFINITION_FILE_H_

#include <string_view>

// Clears field_defs, reads the definition file at `path` into it and
// prepares the field storage. Returns 0 when the file was read, or -1 when
// it cannot be opened or read (after showing "fopen error", with errno
// telling the reporter why; nothing is defined) or when a line ended the
// reading as invalid (the rows before it keep their definitions and
// storage).
int load_field_defs(const char* path = "bitmap.ini");

// The same for the contents of a definition file already in memory.
int parse_field_defs(std::string_view contents);

#endif  // DECODE_DEFINITION_FILE_H_
