// The names of the fields, the comments of their definition lines, in
// UTF-8 for the outputs that show them.
#ifndef EXPLAIN_FIELD_NAME_TEXT_H_
#define EXPLAIN_FIELD_NAME_TEXT_H_

#include <string>

#include "decode/dialect.h"

// The names of one dialect's fields in UTF-8, converted once for each
// dialect asked about in turn: an output keeps one for all its messages.
class FieldNameTexts {
 public:
  // The name of field `number` (1 to 128) of `dialect` in UTF-8, or empty
  // when its definition line has no comment. Comments in UTF-8 stay as
  // they are; others are read as code page 936.
  const std::string& name(const Dialect& dialect, int number);

 private:
  std::string names_[kFieldRows];
  unsigned dialect_id_ = 0;  // of the names held; 0 for none
};

#endif  // EXPLAIN_FIELD_NAME_TEXT_H_
