// The views of a decoded message: its fields' bytes and values as outputs
// show them.
#include "decode/decoded_message.h"

std::string_view shown_text(const DecodedField& field, std::string* shown) {
  if (field.data == nullptr || field.length <= 0) return std::string_view("", 0);
  if (field.hidden == nullptr) {
    return std::string_view(reinterpret_cast<const char*>(field.data),
                            static_cast<size_t>(field.length));
  }
  shown->resize(static_cast<size_t>(field.length));
  for (int k = 0; k < field.length; ++k) (*shown)[k] = static_cast<char>(shown_byte(field, k));
  return *shown;
}

std::string_view shown_value(const DecodedField& field, std::string* shown) {
  if (is_plain(field)) return shown_text(field, shown);
  if (field.value == nullptr || field.value_length <= 0) return std::string_view("", 0);
  const std::string_view value(field.value, static_cast<size_t>(field.value_length));
  if (field.value_hidden == nullptr) return value;
  shown->assign(value);
  for (int k = 0; k < field.value_length; ++k) {
    if (field.value_hidden[k] != 0) (*shown)[k] = '*';
  }
  return *shown;
}

void render_masked_hex(const DecodedField& field, int position, int count, char* text) {
  static const char kDigits[] = "0123456789ABCDEF";
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
