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

#include "decode/dialect.h"

// One problem of a definition file: a line skipped, one that ended the
// reading, or a near miss, a word that was surely meant as a property.
struct DefinitionProblem {
  int line = 0;        // its line number, from 1
  std::string reason;  // what is wrong, in words
  // Whether the dialect read cannot be trusted: a property that is not
  // understood. The command-line programs then decode nothing.
  bool is_error = false;
};
using DefinitionProblems = std::vector<DefinitionProblem>;

// What reading a definition file gave: the dialect, and every problem of
// the file.
struct Definitions {
  Dialect dialect;
  DefinitionProblems problems;
  // False when a line ended the reading as invalid; the lines before it
  // keep their definitions.
  bool complete = true;
  // Whether the first line that is neither blank nor a comment ended the
  // reading: the file is no definition file at all (a message given for
  // the definitions, say), though the window reads it as it always has.
  bool stopped_at_first_line = false;

  // Whether the dialect can be trusted: no problem is an error.
  bool trusted() const;
};

// Reads the definition file `contents`: the one reader of definitions.
Definitions parse_definitions(std::string_view contents);

// The text that names `problem` of the file at `path`: "PATH:LINE: reason".
std::string problem_text(std::string_view path, const DefinitionProblem& problem);

// Reads the file at `path` into `contents`. Returns false, with errno
// telling why, when it cannot be opened or read.
bool read_definition_file(const char* path, std::string* contents);

#endif  // DECODE_DEFINITION_FILE_H_
