// The definition table, the unpacked-field table and the field storage.
#include "decode/field_table.h"

#include <algorithm>
#include <new>

#include "decode/error_report.h"

FieldDef field_defs[kFieldRows];
FieldValue field_values[kFieldRows];
std::string field_names[kFieldRows];
unsigned field_defs_generation = 0;

namespace {

bool is_defined(int number) { return field_defs[number].number > 0; }

}  // namespace

int alloc_field_storage() {
  // Every row starts afresh, so nothing stored under earlier definitions
  // outlives them.
  for (int n = 1; n < kFieldRows; ++n) field_values[n] = FieldValue{};
  for (int n = 1; n < kFieldRows; ++n) {
    if (!is_defined(n)) continue;
    try {
      field_values[n].data.assign(static_cast<size_t>(field_defs[n].max_length) + 1, 0);
    } catch (const std::bad_alloc&) {
      report_error("malloc() error");
      return -1;
    }
  }
  return reset_field_values();
}

int reset_field_values() {
  for (int n = 1; n < kFieldRows; ++n) {
    if (!is_defined(n)) continue;
    FieldValue& value = field_values[n];
    // The storage is all zeros but for what the latest unpack stored, and
    // clearing just that keeps a decode from writing every field's whole
    // storage.
    if (value.number != 0 && value.length > 0) {
      const size_t stored = std::min(static_cast<size_t>(value.length), value.data.size());
      std::fill_n(value.data.begin(), stored, 0);
    }
    value.number = 0;
    value.data_offset = 0;
    value.length = 0;
    value.length_digits = 0;
  }
  return 0;
}

bool field_is_usable(int number) {
  return field_defs[number].number == number && !field_values[number].data.empty();
}
