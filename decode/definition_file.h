// Reading a dialect from a definition file, normally bitmap.ini in the
// current directory. Each field's line is
//   field number | max length | length digits   properties   # comment
// with blanks anywhere and runs of '|' counting as one separator. The
// comment, without its surrounding blanks, is the field's name. Properties
// are words of the form name=value after the third column (len=bcd,
// data=track, ...); other words there are notes and are ignored. A line of
// properties alone describes the whole message (header=11, bitmap=hex,
// ...), and its len= and data= become the defaults of the fields defined
// after it.
#ifndef DECODE_DEFINITION_FILE_H_
#define DECODE_DEFINITION_FILE_H_

#include <string>
#include <string_view>
#include <vector>

#include "decode/field_table.h"

// One problem of a definition file: a line skipped, or one that ended the
// reading.
struct DefinitionProblem {
  int line = 0;        // its line number, from 1
  std::string reason;  // what is wrong, in words
  // Whether the dialect read cannot be trusted: a property that is not
  // understood. The command-line programs then decode nothing.
  bool is_error = false;
};
using DefinitionProblems = std::vector<DefinitionProblem>;

// Reads the definition file `contents` into `dialect`, which is cleared
// first, noting every problem in `problems` when it is given. Returns 0,
// or -1 when a line ended the reading as invalid (the lines before it keep
// their definitions).
int parse_definitions(std::string_view contents, Dialect* dialect, DefinitionProblems* problems);

// Reads the file at `path` into `contents`. Returns false, with errno
// telling why, when it cannot be opened or read.
bool read_definition_file(const char* path, std::string* contents);

// Clears the definitions of default_decoder(), reads the definition file
// at `path` into them and prepares the field storage. Returns 0 when the
// file was read, or -1 when it cannot be opened or read (after showing
// "fopen error", with errno telling the reporter why; nothing is defined)
// or when a line ended the reading as invalid (the rows before it keep
// their definitions and storage). A property that is not understood is
// shown too, as "PATH:LINE: reason".
int load_field_defs(const char* path = "bitmap.ini");

// The same for the contents of a definition file already in memory.
int parse_field_defs(std::string_view contents);

#endif  // DECODE_DEFINITION_FILE_H_
