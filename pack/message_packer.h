// The way back from fields to a message: packs a message type indicator
// and data elements as the definition file frames them, with the 16-byte
// bitmap the decoder reads.
#ifndef PACK_MESSAGE_PACKER_H_
#define PACK_MESSAGE_PACKER_H_

#include <string>
#include <vector>

// One data element to pack.
struct PackField {
  int number = 0;     // 2 to 128
  std::string bytes;  // its data, without a length indicator
};

// One message to pack.
struct PackRequest {
  std::string type_indicator;  // the message type indicator's bytes
  // Whether bit 1 (the secondary-bitmap bit) was given, and its value. When
  // not given, it is set when a field above 64 is present.
  bool has_bit1 = false;
  bool bit1 = false;
  std::vector<PackField> fields;  // in any order
};

// Packs `request` as field_defs frame it into `message`: the message type
// indicator, 16 bitmap bytes flagging each field given, then the fields in
// ascending order, each with its ASCII length indicator zero-filled to its
// digit count. Returns false, with `message` empty, after writing into
// `error` why it cannot be packed, naming the field: it is not defined, a
// variable field is longer than its maximum or than its indicator can say,
// a fixed field has another length, or a field is given twice.
bool pack_message(const PackRequest& request, std::string* message, std::string* error);

#endif  // PACK_MESSAGE_PACKER_H_
