// A dialect written out as a definition file: one line for the message and
// one for every defined field, with every property spelled out, so a user
// sees exactly how the definitions were understood. Read back, it gives
// the same dialect.
#ifndef DECODE_DIALECT_TEXT_H_
#define DECODE_DIALECT_TEXT_H_

#include <string>

#include "decode/dialect.h"

// Appends the definition file of `dialect` to `text`.
void write_dialect(const Dialect& dialect, std::string* text);

#endif  // DECODE_DIALECT_TEXT_H_
