// The views of a decoded message: its fields' bytes and values as outputs
// show them.
#include "decode/decoded_message.h"

namespace {

// Writes the two hexadecimal digits of `byte` at `text`, '*' for each
// nibble that `hidden` (0xF0, 0x0F or both) marks; returns the end.
char* put_shown_pair(unsigned char byte, unsigned char hidden, char* text) {
  *text++ = (hidden & 0xF0) != 0 ? '*' : kHexDigits[byte >> 4];
  *text++ = (hidden & 0x0F) != 0 ? '*' : kHexDigits[byte & 0x0F];
  return text;
}

}  // namespace

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

std::string_view shown_value(const DecodedPart& part, std::string* shown) {
  const bool plain = is_plain(part);
  const int length = plain ? part.length : part.value_length;
  if (part.value == nullptr || length <= 0) return std::string_view("", 0);
  const std::string_view value(part.value, static_cast<size_t>(length));
  const unsigned char* marks = plain ? part.hidden : part.value_hidden;
  if (marks == nullptr) return value;
  shown->assign(value);
  for (int k = 0; k < length; ++k) {
    if (marks[k] != 0) (*shown)[k] = '*';
  }
  return *shown;
}

void render_masked_hex(const DecodedField& field, int position, int count, char* text) {
  for (int k = 0; k < count; ++k) {
    text = put_shown_pair(byte_at(field.data, field.readable, position + k),
                          hidden_nibbles(field, position + k), text);
  }
}

int render_shown_hex(const DecodedPart& part, char* text) {
  if (part.in_digits) {
    for (int k = 0; k < part.length; ++k) {
      text[k] = part.value_hidden != nullptr && part.value_hidden[k] != 0 ? '*' : part.value[k];
    }
    return part.length;
  }
  for (int k = 0; k < part.length; ++k) {
    text = put_shown_pair(part.data[k], part.hidden != nullptr ? part.hidden[k] : 0, text);
  }
  return 2 * part.length;
}

const DecodedField* DecodedMessage::find(int number) const {
  for (const DecodedField& field : fields) {
    if (field.number == number) return &field;
    if (field.number > number) break;
  }
  return nullptr;
}
