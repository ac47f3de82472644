// A decoded message as data, for every output to read: the header, the
// message type indicator, the bitmap, the fields the unpack stored, its
// verdict and the elements of field 55. The message owns everything it
// shows: one copy of the message's bytes, which its fields are views into,
// the text of the fields whose data is not shown as it stands, and the
// marks of masking. So it stays valid for as long as it lives, whatever
// else is decoded meanwhile.
#ifndef DECODE_DECODED_MESSAGE_H_
#define DECODE_DECODED_MESSAGE_H_

#include <string>
#include <string_view>
#include <vector>

#include "decode/dialect.h"
#include "decode/hex_text.h"
#include "decode/tlv.h"
#include "decode/verdict.h"

// One stored field, or the message type indicator: a view into the bytes
// of its message.
struct DecodedField {
  int number = 0;         // the field number; 0 when nothing is stored
  int length = 0;         // the length of its data in bytes
  int data_offset = 0;    // where its data starts in the message
  int length_digits = 0;  // the digits of its length indicator
  // Its `length` bytes of data; bytes past them read as zero, never as the
  // bytes of the field that follows.
  const unsigned char* data = nullptr;
  int readable = 0;  // how many bytes `data` holds: its length
  // Nothing, or one byte for each of the `length` data bytes telling which
  // of its nibbles masking hides: 0xF0 the high one, 0x0F the low one.
  const unsigned char* hidden = nullptr;
  // How the field is encoded; nullptr reads as the plain form.
  const FieldFormat* format = nullptr;
  int unit_length = 0;  // its length in its own unit: the indicator's value
  // Its data as text: digits, characters or hexadecimal. For a field shown
  // as it stands, its data itself.
  const char* value = nullptr;
  int value_length = 0;
  // Nothing, or one byte for each value character, not 0 when masking
  // hides it; for a field shown as it stands, `hidden` tells.
  const unsigned char* value_hidden = nullptr;
};

// Whether `field` is shown as it stands: its value is its data.
inline bool is_plain(const DecodedField& field) {
  return field.format == nullptr || is_plain(*field.format);
}

// How many bytes the report's line of `field` shows between its brackets:
// its length for a field shown as it stands (padded), else its text's.
inline int shown_length(const DecodedField& field) {
  return is_plain(field) ? field.length : field.value_length;
}

// The nibbles of the byte at `position` of `field` that masking hides.
inline unsigned char hidden_nibbles(const DecodedField& field, int position) {
  return field.hidden != nullptr && position >= 0 && position < field.length
             ? field.hidden[position]
             : 0;
}

// The byte at `position` of `field` as outputs show it: '*' when masking
// hides any of its nibbles; zero past the field.
inline unsigned char shown_byte(const DecodedField& field, int position) {
  return hidden_nibbles(field, position) != 0 ? '*' : byte_at(field.data, field.readable, position);
}

// The `length` data bytes of `field` as outputs show them: its stored
// bytes, or, when masking hides some of them, a copy in `shown` with those
// bytes '*'. Never a null pointer, also for a field without data.
std::string_view shown_text(const DecodedField& field, std::string* shown);

// The value of `field` as outputs show it: for a plain field its shown
// bytes, otherwise its text with '*' for every character masking hides.
std::string_view shown_value(const DecodedField& field, std::string* shown);

// render_shown_hex for bytes that masking may hide or that run past the
// field's readable bytes.
void render_masked_hex(const DecodedField& field, int position, int count, char* text);

// Writes `count` bytes of `field` from `position` as upper-case hexadecimal
// text into `text` (2 * count characters, no terminating zero), with '*'
// for every hidden nibble; bytes past the field read as zero. Inline, as
// the outputs write every field and element this way.
inline void render_shown_hex(const DecodedField& field, int position, int count, char* text) {
  if (field.hidden == nullptr && position >= 0 && position + count <= field.readable) {
    render_hex(field.data + position, static_cast<size_t>(count), text);
  } else {
    render_masked_hex(field, position, count, text);
  }
}

// One decoded message. It may be moved but not copied, as its views point
// into its own storage; decoding into the same value again reuses that
// storage.
struct DecodedMessage {
  DecodedMessage() = default;
  DecodedMessage(DecodedMessage&&) = default;
  DecodedMessage& operator=(DecodedMessage&&) = default;
  DecodedMessage(const DecodedMessage&) = delete;
  DecodedMessage& operator=(const DecodedMessage&) = delete;

  const Dialect* dialect = nullptr;         // the dialect it was decoded with
  const unsigned char* header = nullptr;    // the bytes before the type indicator
  int header_length = 0;
  DecodedField type_indicator;              // row 1; number 0 when not defined
  unsigned char bitmap[kBitmapLength] = {};  // the bits of the bitmap
  int bitmap_length = kBitmapLength;        // 8 without a secondary bitmap, else 16
  std::vector<DecodedField> fields;         // data elements stored, ascending
  UnpackVerdict verdict;                    // how the unpack ended
  std::vector<TlvElement> field55;          // field 55's elements, when stored

  // The stored field `number` (2 to 128), or nullptr.
  const DecodedField* find(int number) const;

  // The storage the views point into, written only by the decode and by
  // masking.
  // The message's bytes, then zeros up to the end of its last field, so
  // that a field reaching past the message reads zeros there.
  std::vector<unsigned char> bytes;
  int byte_count = 0;  // how many of them the message itself has
  std::vector<char> text;  // the values of the fields not shown as they stand
  // Masking's marks: one for each byte of `bytes`, and one for each
  // character of `text`.
  std::vector<unsigned char> byte_marks;
  std::vector<unsigned char> text_marks;
};

#endif  // DECODE_DECODED_MESSAGE_H_
