// The tables of a decoder, indexed by field number: the field definitions
// read from the definition file (a dialect), and the fields found by the
// latest unpack, with the storage behind each field's data. The window
// program's names for them (field_defs, field_values, field_names) are the
// tables of one process-wide decoder, default_decoder().
#ifndef DECODE_FIELD_TABLE_H_
#define DECODE_FIELD_TABLE_H_

#include <string>
#include <vector>

#include "decode/field_format.h"

// Rows 0 to 128; row 0 is never used, row 1 stands for the message type
// indicator and rows 2 to 128 for data elements 2 to 128.
constexpr int kFieldRows = 129;

// The largest `max_length` a definition may give. A message holds at most
// 1,999 bytes, so anything much longer is a typo, and accepting it would
// cost a huge allocation and a huge zero-fill on every decode.
constexpr int kMaxFieldLength = 9999;

// The longest length indicator of digits a definition may ask for.
constexpr int kMaxLengthDigits = 6;

// How one field is framed in a message.
struct FieldDef {
  int number;         // the row's own field number; 0 while undefined
  int max_length;     // fixed length, or the largest variable length, in its unit
  int length_digits;  // digits (or binary bytes) of length indicator; 0 when fixed
  FieldFormat format;
};

// One field as found by the latest unpack.
struct FieldValue {
  int number;         // the field number while found; 0 otherwise
  int data_offset;    // offset of the data, after its length indicator
  int length_digits;  // copy of the definition's length_digits
  int length;         // length of the data in bytes
  // The bytes of the data, zero-filled before every unpack, so the data is
  // always followed by a zero byte; empty for a field with no storage.
  std::vector<unsigned char> data;
  int unit_length;  // the length in the field's own unit
  // The data as text (digits, characters or hexadecimal), for a field that
  // is not shown as it stands; `value_length` characters of it are used.
  std::vector<char> value;
  int value_length;
};

// A dialect: the definitions of every field, their names, and the layout
// of the message around them.
struct Dialect {
  FieldDef defs[kFieldRows];
  // The name of each defined field: the comment of its definition line, or
  // empty. Only the command-line outputs show it.
  std::string names[kFieldRows];
  MessageFormat message;
  // Different for every reading of definitions in the process, so that
  // what is derived from a dialect can tell when to derive it anew.
  unsigned id = 0;
};

// The window program's tables: those of default_decoder().
extern FieldDef (&field_defs)[kFieldRows];
extern std::string (&field_names)[kFieldRows];
extern FieldValue (&field_values)[kFieldRows];

// Empties every row of `values`, then gives every defined row of `dialect`
// its storage, cleared. Returns 0, or -1 after showing "malloc() error"
// when an allocation fails; later rows then stay without storage.
int alloc_field_storage(const Dialect& dialect, FieldValue values[kFieldRows]);

// Clears `values` for every defined row: numbers, offsets and lengths to 0
// and the storage to zero bytes. Only an unpack writes the storage, and
// only the first `length` bytes of the rows it stores, so only those bytes
// are cleared. Returns 0.
int reset_field_values(const Dialect& dialect, FieldValue values[kFieldRows]);

// Clears one row as reset_field_values clears every defined row.
void reset_field_value(FieldValue* value);

// Whether field `number` (1 to 128) is defined in `dialect` and has its
// storage in `values`, so an unpack may store it.
inline bool field_is_usable(const Dialect& dialect, const FieldValue values[kFieldRows],
                            int number) {
  return dialect.defs[number].number == number && !values[number].data.empty();
}

// The same for the tables of default_decoder().
bool field_is_usable(int number);

#endif  // DECODE_FIELD_TABLE_H_
