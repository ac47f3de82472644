// The way back from fields to a message: packs a header, a message type
// indicator and data elements as a dialect lays them out, with the bitmap
// the decoder reads.
#ifndef PACK_MESSAGE_PACKER_H_
#define PACK_MESSAGE_PACKER_H_

#include <string>
#include <utility>
#include <vector>

#include "decode/dialect.h"

struct PackPart;

// One value to pack: bytes as they stand in the message, or a text that
// the field's encoding turns into bytes, or the parts of a composite.
struct PackValue {
  PackValue() = default;
  // Bytes as they stand.
  PackValue(std::string data) : bytes(std::move(data)) {}  // NOLINT(runtime/explicit)
  PackValue(const char* data) : bytes(data) {}             // NOLINT(runtime/explicit)

  std::string bytes;     // the data bytes, or the text (code page 936)
  bool is_text = false;  // whether `bytes` is the text
  // Whether `bytes` holds a part's hexadecimal digits as written: its
  // bytes, or, for a part of packed digits, its digits (maybe an odd count).
  bool is_hex = false;
  int length = -1;       // the length in the field's unit, or -1 when not given
  // The parts of a composite, with `from_parts` when the value is to be
  // built from them rather than taken from `bytes`.
  std::vector<PackPart> parts;
  bool from_parts = false;
};

// One part of a composite to pack: its id as the decoder gives it ("60.2",
// "54[2].3", "48.26", "62.70.5A") and its value.
struct PackPart {
  std::string id;
  PackValue value;
};

// One data element to pack.
struct PackField {
  int number = 0;  // 2 to 128
  PackValue value;
};

// One message to pack.
struct PackRequest {
  std::string header;  // the bytes before the message type indicator
  PackValue type_indicator;
  // Whether bit 1 (the secondary-bitmap bit) was given, and its value. When
  // not given, it is set when a field above 64 is present.
  bool has_bit1 = false;
  bool bit1 = false;
  std::vector<PackField> fields;  // in any order
};

// Packs `request` as `dialect` lays it out into `message`: the header, the
// message type indicator, the bitmap flagging each field given, then the
// fields in ascending order, each with its length indicator. Returns false,
// with `message` empty, after writing into `error` why it cannot be packed,
// naming the field: it is not defined, its text cannot be encoded, its
// length does not fit its data, a variable field is longer than its
// maximum or than its indicator can say, a fixed field has another length
// (a shorter one with a hint), or a field is given twice. The text of a
// fixed field that is too short is padded where its kind of data says
// how: packed digits and amounts with zeros on the left (after the sign),
// EBCDIC text with spaces on the right; `notes`, when given, receives a
// line for each field padded ("field 4: 3 digits padded to 12 with zeros
// on the left").
bool pack_message(const Dialect& dialect, const PackRequest& request, std::string* message,
                  std::string* error, std::vector<std::string>* notes = nullptr);

#endif  // PACK_MESSAGE_PACKER_H_
