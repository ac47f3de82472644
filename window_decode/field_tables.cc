// The window decoder and its tables.
#include "window_decode/field_tables.h"

#include <utility>

namespace {

// Never destroyed, like the window's tables.
Decoder& decoder() {
  static Decoder* const window = new Decoder();
  return *window;
}

void clear_row(FieldValue* value) {
  value->number = 0;
  value->data_offset = 0;
  value->length_digits = 0;
  value->length = 0;
  value->data.clear();
}

void store_row(int row, const DecodedField& field) {
  FieldValue& value = field_values[row];
  value.number = field.number;
  value.data_offset = field.data_offset;
  value.length_digits = field.length_digits;
  value.length = field.length;
  value.data.assign(field.data, field.data + field.length);
  value.data.push_back(0);
}

}  // namespace

const FieldDef (&field_defs)[kFieldRows] = decoder().dialect().defs;
const std::string (&field_names)[kFieldRows] = decoder().dialect().names;
FieldValue field_values[kFieldRows];
const TagName (&tag_names)[kTagNameRows] = report_tag_names;

const Decoder& window_decoder() { return decoder(); }

void use_window_dialect(Dialect dialect) {
  decoder() = Decoder(std::move(dialect));
  alloc_field_storage();
}

DecodedMessage& window_message() {
  static DecodedMessage* const message = new DecodedMessage();
  return *message;
}

int alloc_field_storage() {
  for (FieldValue& value : field_values) clear_row(&value);
  return 0;
}

int reset_field_values() {
  for (int n = 1; n < kFieldRows; ++n) {
    if (field_defs[n].number > 0) clear_row(&field_values[n]);
  }
  return 0;
}

void store_field_values(const DecodedMessage& message) {
  store_row(1, message.type_indicator);
  for (const DecodedField& field : message.fields) store_row(field.number, field);
}
