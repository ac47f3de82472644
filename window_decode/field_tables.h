// The window program's tables, indexed by field number: the definitions
// read from bitmap.ini (field_defs, with field_names), and the fields that
// the latest unpack found (field_values). They belong to one window
// decoder, which the window's calls (load_field_defs, decode_request,
// unpack_message, decode_field55) use for the life of the process.
#ifndef WINDOW_DECODE_FIELD_TABLES_H_
#define WINDOW_DECODE_FIELD_TABLES_H_

#include <string>
#include <vector>

#include "decode/decoded_message.h"
#include "decode/decoder.h"
#include "decode/tag_names.h"

// One field as found by the latest unpack.
struct FieldValue {
  int number;         // the field number while found; 0 otherwise
  int data_offset;    // offset of the data, after its length indicator
  int length_digits;  // copy of the definition's length_digits
  int length;         // length of the data in bytes
  // The bytes of the data followed by a zero byte; empty while the field
  // is not found. Storage is made when a message holds the field, so a
  // field's maximum length costs nothing until then.
  std::vector<unsigned char> data;
};

// The definitions of the window decoder's dialect, and their names.
extern const FieldDef (&field_defs)[kFieldRows];
extern const std::string (&field_names)[kFieldRows];

// The fields found by the latest unpack.
extern FieldValue field_values[kFieldRows];

// The report's tag dictionary.
extern const TagName (&tag_names)[kTagNameRows];

// The window decoder: the dialect that load_field_defs read last.
const Decoder& window_decoder();

// Makes `dialect` the window decoder's, and empties every row of
// field_values.
void use_window_dialect(Dialect dialect);

// The window decoder's latest unpack, as data for the report.
DecodedMessage& window_message();

// Empties every row of field_values, so that nothing stored under earlier
// definitions outlives them. Returns 0: no storage is made before a
// message holds a field.
int alloc_field_storage();

// Clears every defined row of field_values: numbers, offsets and lengths
// to 0, and no data. Returns 0.
int reset_field_values();

// Stores the fields of `message` in field_values, each with its bytes and
// a zero byte after them.
void store_field_values(const DecodedMessage& message);

#endif  // WINDOW_DECODE_FIELD_TABLES_H_
