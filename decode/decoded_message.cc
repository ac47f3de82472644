// The decoded message, collected from the field table.
#include "decode/decoded_message.h"

#include <cstring>

#include "decode/field_table.h"

namespace {

DecodedField view_of(int number) {
  const FieldValue& value = field_values[number];
  DecodedField field;
  field.number = value.number;
  field.length = value.length;
  field.data_offset = value.data_offset;
  field.length_digits = value.length_digits;
  field.data = value.data.data();
  field.readable = static_cast<int>(value.data.size());
  return field;
}

}  // namespace

namespace {

// The two hexadecimal digits of every byte, looked up two at a time.
struct HexPairs {
  char of[256][2];
  constexpr HexPairs() : of() {
    const char digits[] = "0123456789ABCDEF";
    for (int byte = 0; byte < 256; ++byte) {
      of[byte][0] = digits[byte >> 4];
      of[byte][1] = digits[byte & 0x0F];
    }
  }
};
constexpr HexPairs kHexPairs;

}  // namespace

void render_shown_hex(const DecodedField& field, int position, int count, char* text) {
  static const char kDigits[] = "0123456789ABCDEF";
  const bool plain = field.hidden == nullptr && position >= 0 && position + count <= field.readable;
  if (plain) {
    // The common case, without a bounds or mask test for every byte.
    for (const unsigned char* byte = field.data + position; count > 0; --count, ++byte) {
      std::memcpy(text, kHexPairs.of[*byte], 2);
      text += 2;
    }
    return;
  }
  for (int k = 0; k < count; ++k) {
    const unsigned char byte = byte_at(field.data, field.readable, position + k);
    const unsigned char hidden = hidden_nibbles(field, position + k);
    *text++ = (hidden & 0xF0) != 0 ? '*' : kDigits[byte >> 4];
    *text++ = (hidden & 0x0F) != 0 ? '*' : kDigits[byte & 0x0F];
  }
}

const DecodedField* DecodedMessage::find(int number) const {
  for (const DecodedField& field : fields) {
    if (field.number == number) return &field;
    if (field.number > number) break;
  }
  return nullptr;
}

void collect_stored_fields(DecodedMessage* message) {
  message->type_indicator = view_of(1);
  message->fields.clear();
  message->field55.clear();
  for (int number = 2; number < kFieldRows; ++number) {
    if (field_values[number].number == number) message->fields.push_back(view_of(number));
  }
  if (const DecodedField* field55 = message->find(55)) {
    walk_tlv(field55->data, field55->readable, 0, field55->length, &message->field55);
  }
}
