// The decoded message, collected from a decoder's field table.
#include "decode/decoded_message.h"

#include <cstring>

#include "decode/hex_text.h"

namespace {

// Describes row `number` of `values` in `field`.
void view_of(const Dialect& dialect, const FieldValue values[kFieldRows], int number,
             DecodedField* field) {
  const FieldValue& value = values[number];
  field->number = value.number;
  field->length = value.length;
  field->data_offset = value.data_offset;
  field->length_digits = value.length_digits;
  field->data = value.data.data();
  field->readable = static_cast<int>(value.data.size());
  field->hidden = nullptr;
  field->format = &dialect.defs[number].format;
  field->unit_length = value.unit_length;
  if (is_plain(*field->format)) {
    field->value = reinterpret_cast<const char*>(field->data);
    field->value_length = field->length;
  } else {
    field->value = value.value.data();
    field->value_length = value.value_length;
  }
  field->value_hidden = nullptr;
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

void render_shown_hex(const DecodedField& field, int position, int count, char* text) {
  static const char kDigits[] = "0123456789ABCDEF";
  const bool plain = field.hidden == nullptr && position >= 0 && position + count <= field.readable;
  if (plain) {
    // The common case, without a bounds or mask test for every byte.
    render_hex(field.data + position, static_cast<size_t>(count), text);
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

void collect_stored_fields(const Dialect& dialect, const FieldValue values[kFieldRows],
                           const MessageBytes& bytes, const MessageFrame& frame,
                           DecodedMessage* message) {
  message->dialect = &dialect;
  message->header = bytes.data();
  message->header_length = frame.header_length;
  std::memcpy(message->bitmap, frame.bitmap, kBitmapLength);
  message->bitmap_length = frame.bitmap_length;
  view_of(dialect, values, 1, &message->type_indicator);
  message->fields.clear();
  message->field55.clear();
  // Written in place: a message has some twenty fields, each described by
  // a dozen members.
  message->fields.resize(static_cast<size_t>(frame.touched_count));
  size_t stored = 0;
  for (int k = 0; k < frame.touched_count; ++k) {
    const int number = frame.touched[k];
    if (values[number].number == number) view_of(dialect, values, number, &message->fields[stored++]);
  }
  message->fields.resize(stored);
  if (const DecodedField* field55 = message->find(55)) {
    walk_tlv(field55->data, field55->readable, 0, field55->length, &message->field55);
  }
}
