// Preparing and clearing the field storage of a decoder.
#include "decode/field_table.h"

#include <algorithm>
#include <new>

#include "decode/decoder.h"
#include "decode/error_report.h"
#include "decode/field_codec.h"

int alloc_field_storage(const Dialect& dialect, FieldValue values[kFieldRows]) {
  // Every row starts afresh, so nothing stored under earlier definitions
  // outlives them.
  for (int n = 1; n < kFieldRows; ++n) values[n] = FieldValue{};
  for (int n = 1; n < kFieldRows; ++n) {
    const FieldDef& def = dialect.defs[n];
    if (def.number <= 0) continue;
    try {
      values[n].data.assign(static_cast<size_t>(data_bytes(def.format, def.max_length)) + 1, 0);
      if (!is_plain(def.format)) {
        values[n].value.assign(static_cast<size_t>(value_capacity(def.format, def.max_length)), 0);
      }
    } catch (const std::bad_alloc&) {
      values[n].data.clear();
      report_error("malloc() error");
      return -1;
    }
  }
  return reset_field_values(dialect, values);
}

void reset_field_value(FieldValue* value) {
  // The storage is all zeros but for what the latest unpack stored, and
  // clearing just that keeps a decode from writing every field's whole
  // storage.
  if (value->number != 0 && value->length > 0) {
    const size_t stored = std::min(static_cast<size_t>(value->length), value->data.size());
    std::fill_n(value->data.begin(), stored, 0);
  }
  value->number = 0;
  value->data_offset = 0;
  value->length = 0;
  value->length_digits = 0;
  value->unit_length = 0;
  value->value_length = 0;
}

int reset_field_values(const Dialect& dialect, FieldValue values[kFieldRows]) {
  for (int n = 1; n < kFieldRows; ++n) {
    if (dialect.defs[n].number > 0) reset_field_value(&values[n]);
  }
  return 0;
}

bool field_is_usable(int number) {
  const Decoder& decoder = default_decoder();
  return field_is_usable(decoder.dialect(), decoder.values(), number);
}
