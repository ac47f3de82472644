// The two process-wide tables of the decoder, indexed by field number:
// the field definitions read from the definition file, and the fields
// found by the latest unpack, with the storage behind each field's data.
#ifndef DECODE_FIELD_TABLE_H_
#define DECODE_FIELD_TABLE_H_

#include <string>
#include <vector>

// Rows 0 to 128; row 0 is never used, row 1 stands for the message type
// indicator and rows 2 to 128 for data elements 2 to 128.
constexpr int kFieldRows = 129;

// The largest `max_length` a definition may give. A message holds at most
// 1,999 bytes and a length indicator at most 4 digits, so anything longer
// is a typo, and accepting it would cost a huge allocation and a huge
// zero-fill on every decode.
constexpr int kMaxFieldLength = 9999;

// The longest length indicator a definition may ask for.
constexpr int kMaxLengthDigits = 4;

// How one field is framed in a message.
struct FieldDef {
  int number;         // the row's own field number; 0 while undefined
  int max_length;     // fixed length, or the largest variable length
  int length_digits;  // ASCII digits of length indicator; 0 when fixed
};

// One field as found by the latest unpack.
struct FieldValue {
  int number;         // the field number while found; 0 otherwise
  int data_offset;    // offset of the data, after its length indicator
  int length_digits;  // copy of the definition's length_digits
  int length;         // length of the data in bytes
  // max_length + 1 bytes, zero-filled before every unpack, so the data is
  // always followed by a zero byte; empty for a field with no storage.
  std::vector<unsigned char> data;
};

extern FieldDef field_defs[kFieldRows];

// The name of each defined field: the comment of its definition line, or
// empty. Only the command-line outputs show it.
extern std::string field_names[kFieldRows];

// How many times the definitions have been read, so that what is derived
// from them can tell when to derive it anew.
extern unsigned field_defs_generation;
extern FieldValue field_values[kFieldRows];

// Empties every row of field_values, then gives every defined row of
// field_defs its storage (max_length + 1 bytes), cleared. Returns 0, or -1
// after showing "malloc() error" when an allocation fails; later rows then
// stay without storage.
int alloc_field_storage();

// Clears field_values for every defined row: numbers, offsets and lengths
// to 0 and the storage to zero bytes. Only an unpack writes the storage,
// and only the first `length` bytes of the rows it stores, so only those
// bytes are cleared. Returns 0.
int reset_field_values();

// Whether field `number` (1 to 128) is defined and has its storage, so an
// unpack may store it.
bool field_is_usable(int number);

#endif  // DECODE_FIELD_TABLE_H_
