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
#include "decode/layout.h"
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
  // A composite field's parts in the message's `parts`, in order, each
  // followed by those inside it; and its misfit in `misfits`, or -1.
  int first_part = 0;
  int part_count = 0;
  int misfit = -1;
};

// One part of a composite field, as the walk found it: a view of its
// field's bytes, or of its field's packed digits.
struct DecodedPart {
  int depth = 1;        // 1 for a part of its field, 2 for a part of a part, ...
  int descendants = 0;  // the parts inside it, which follow it
  const PartDef* def = nullptr;  // its definition; nullptr for a tag the file does not name
  const FieldFormat* format = nullptr;  // how it is encoded
  // Whether it is cut from its field's packed digits: `offset` and
  // `length` then count characters of its field's text, and it has no
  // bytes of its own.
  bool in_digits = false;
  int offset = 0;       // where it starts: in the message's bytes, or in its field's text
  int length = 0;       // its bytes, or its digits
  int unit_length = 0;  // its length in its own unit
  const unsigned char* data = nullptr;  // its bytes; nullptr for digits
  // Its text: digits, characters or hexadecimal; for a part shown as it
  // stands, its bytes.
  const char* value = nullptr;
  int value_length = 0;
  const char* id = nullptr;  // "60.2", "48.26", "54[2].3": see decode/part_walk.h
  int id_length = 0;
  // Nothing, or masking's marks: one for each byte (0xF0 and 0x0F for its
  // nibbles), or for each character of its text.
  const unsigned char* hidden = nullptr;
  const unsigned char* value_hidden = nullptr;
  // Where its text and its id lie while the walk still writes them.
  int value_offset = -1;  // in the message's part_text, or -1
  int id_offset = 0;      // in the message's part_ids
};

// Data that does not fit its field's layout: the field is shown whole, with
// this note in place of its parts.
struct PartMisfit {
  int field = 0;
  std::string sub;     // the id of the part that does not fit, or of the layout
  int offset = 0;      // where in the field's data (bytes, or digits of packed data)
  std::string reason;  // "tag 26 at byte 9 says 40 bytes, 12 remain"
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

// Whether `part` is shown as it stands: its value is its bytes.
inline bool is_plain(const DecodedPart& part) { return !part.in_digits && is_plain(*part.format); }

// The value of `part` as outputs show it: its bytes or its text, with '*'
// for what masking hides, a copy in `shown` when it hides anything.
std::string_view shown_value(const DecodedPart& part, std::string* shown);

// Writes the hexadecimal text of `part` into `text`: for bytes, 2 *
// length digits with '*' for every hidden nibble; for packed digits, the
// digits themselves (as their nibbles read), with '*' for hidden ones.
// Returns how many characters it wrote.
int render_shown_hex(const DecodedPart& part, char* text);

// The id of `part`: "60.2".
inline std::string_view part_id(const DecodedPart& part) {
  return std::string_view(part.id, static_cast<size_t>(part.id_length));
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
  std::vector<DecodedPart> parts;           // the parts of composite fields
  std::vector<PartMisfit> misfits;          // data that did not fit a layout

  // The stored field `number` (2 to 128), or nullptr.
  const DecodedField* find(int number) const;

  // The storage the views point into, written only by the decode and by
  // masking.
  // The message's bytes, then zeros up to the end of its last field, so
  // that a field reaching past the message reads zeros there.
  std::vector<unsigned char> bytes;
  int byte_count = 0;  // how many of them the message itself has
  std::vector<char> text;  // the values of the fields not shown as they stand
  std::vector<char> part_text;  // the texts of parts that are not shown as they stand
  // The ids of the parts: a vector, whose storage moves with the message
  // as a short string's would not.
  std::vector<char> part_ids;
  // Masking's marks: one for each byte of `bytes`, one for each character
  // of `text`, and one for each of `part_text`.
  std::vector<unsigned char> byte_marks;
  std::vector<unsigned char> text_marks;
  std::vector<unsigned char> part_text_marks;
};

#endif  // DECODE_DECODED_MESSAGE_H_
