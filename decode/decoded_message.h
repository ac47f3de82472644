// A decoded message as data, for every output to read: the message type
// indicator, the bitmap, the fields the unpack stored, its verdict and the
// elements of field 55. It points into field_values, so it describes the
// latest unpack and lives until the next one.
#ifndef DECODE_DECODED_MESSAGE_H_
#define DECODE_DECODED_MESSAGE_H_

#include <string>
#include <string_view>
#include <vector>

#include "decode/field55.h"
#include "decode/unpack.h"

// One stored field, or the message type indicator.
struct DecodedField {
  int number = 0;         // the field number; 0 when nothing is stored
  int length = 0;         // the length of its data in bytes
  int data_offset = 0;    // where its data starts in the message
  int length_digits = 0;  // the digits of its length indicator
  // Its storage: `length` bytes of data, then zeros up to `readable` bytes.
  const unsigned char* data = nullptr;
  int readable = 0;
  // Nothing, or one byte for each of the `length` data bytes telling which
  // of its nibbles masking hides: 0xF0 the high one, 0x0F the low one.
  const unsigned char* hidden = nullptr;
};

// The nibbles of the byte at `position` of `field` that masking hides.
inline unsigned char hidden_nibbles(const DecodedField& field, int position) {
  return field.hidden != nullptr && position >= 0 && position < field.length
             ? field.hidden[position]
             : 0;
}

// The byte at `position` of `field` as outputs show it: '*' when masking
// hides any of its nibbles; zero past the storage.
inline unsigned char shown_byte(const DecodedField& field, int position) {
  return hidden_nibbles(field, position) != 0 ? '*' : byte_at(field.data, field.readable, position);
}

// The `length` data bytes of `field` as outputs show them: its stored
// bytes, or, when masking hides some of them, a copy in `shown` with those
// bytes '*'. Never a null pointer, also for a field without storage.
std::string_view shown_text(const DecodedField& field, std::string* shown);

// Writes `count` bytes of `field` from `position` as upper-case hexadecimal
// text into `text` (2 * count characters, no terminating zero), with '*'
// for every hidden nibble.
void render_shown_hex(const DecodedField& field, int position, int count, char* text);

// One decoded message.
struct DecodedMessage {
  DecodedField type_indicator;              // row 1; number 0 when not defined
  unsigned char bitmap[kBitmapLength] = {};  // as the message holds it
  std::vector<DecodedField> fields;         // data elements stored, ascending
  UnpackVerdict verdict;                    // how the unpack ended
  std::vector<TlvElement> field55;          // field 55's elements, when stored

  // The stored field `number` (2 to 128), or nullptr.
  const DecodedField* find(int number) const;
};

// Fills the type indicator, the stored fields and the field 55 elements of
// `message` from field_values, as the latest unpack left them; the verdict
// and the bitmap are the caller's. Masks are cleared.
void collect_stored_fields(DecodedMessage* message);

#endif  // DECODE_DECODED_MESSAGE_H_
