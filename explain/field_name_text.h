// The names of the fields, the comments of their definition lines, in
// UTF-8 for the outputs that show them.
#ifndef EXPLAIN_FIELD_NAME_TEXT_H_
#define EXPLAIN_FIELD_NAME_TEXT_H_

#include <string>

#include "decode/field_table.h"

// The name of field `number` (1 to 128) of `dialect` in UTF-8, or empty
// when its definition line has no comment. Comments in UTF-8 stay as they
// are; others are read as code page 936. The names are converted once for
// each reading of definitions, until another dialect asks.
const std::string& field_name_utf8(const Dialect& dialect, int number);

#endif  // EXPLAIN_FIELD_NAME_TEXT_H_
