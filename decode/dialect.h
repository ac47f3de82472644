// A dialect: how every field of a message is framed and encoded, as a
// definition file describes it, with the layout of the message around
// the fields. A dialect is read once and never changed by decoding.
#ifndef DECODE_DIALECT_H_
#define DECODE_DIALECT_H_

#include <string>
#include <vector>

#include "decode/field_format.h"
#include "decode/layout.h"
#include "decode/limits.h"

// How one field is framed in a message.
struct FieldDef {
  int number;         // the row's own field number; 0 while undefined
  int max_length;     // fixed length, or the largest variable length, in its unit
  int length_digits;  // digits (or binary bytes) of length indicator; 0 when fixed
  FieldFormat format;
  int layout = -1;    // how its data is cut into parts: an index of Dialect::layouts, or -1
};

// The definitions of every field, their names, and the layout of the
// message around them.
struct Dialect {
  FieldDef defs[kFieldRows] = {};
  // The name of each defined field: the comment of its definition line, or
  // empty. The command-line outputs show it.
  std::string names[kFieldRows];
  MessageFormat message;
  // The layouts of composite fields and of their composite parts.
  std::vector<Layout> layouts;
  // Different for every reading of definitions in the process, so that
  // what is derived from a dialect can tell when to derive it anew.
  unsigned id = 0;

  // Whether field `number` (1 to 128) is defined.
  bool defines(int number) const { return defs[number].number == number; }
};

#endif  // DECODE_DIALECT_H_
