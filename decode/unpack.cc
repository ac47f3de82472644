// The message unpacker.
#include "decode/unpack.h"

#include <cstring>

#include "decode/decoded_message.h"
#include "decode/field_report.h"
#include "decode/field_table.h"

namespace {

constexpr int kLastField = 128;

struct ResultName {
  UnpackResult result;
  const char* name;
};
constexpr ResultName kResultNames[] = {
    {UnpackResult::kUnpacked, "unpacked"},
    {UnpackResult::kTooShort, "too_short"},
    {UnpackResult::kFieldNotDefined, "field_not_defined"},
    {UnpackResult::kLengthTooLong, "length_too_long"},
    {UnpackResult::kLengthInvalid, "length_invalid"},
};

// Copies `count` message bytes from `offset` into `destination`; bytes
// outside the message buffer read as zero, like the bytes after the message.
void copy_message_bytes(const MessageBytes& message, int offset, int count,
                        unsigned char* destination) {
  const int available = offset < kMessageCapacity ? kMessageCapacity - offset : 0;
  const int copied = count < available ? count : available;
  if (copied > 0) std::memcpy(destination, message.data() + offset, static_cast<size_t>(copied));
  std::memset(destination + copied, 0, static_cast<size_t>(count - copied));
}

// Reads a length indicator as atoi does: leading white space, an optional
// sign, then digits up to the first non-digit or the terminating zero.
int read_length_indicator(const unsigned char* digits) {
  while (*digits == ' ' || (*digits >= '\t' && *digits <= '\r')) ++digits;
  bool negative = *digits == '-';
  if (*digits == '-' || *digits == '+') ++digits;
  int value = 0;
  for (; *digits >= '0' && *digits <= '9'; ++digits) value = value * 10 + (*digits - '0');
  return negative ? -value : value;
}

// Stores the message type indicator in row 1; returns the offset after it.
int unpack_type_indicator(const MessageBytes& message) {
  FieldValue& indicator = field_values[1];
  const bool usable = field_is_usable(1);
  indicator.number = usable ? field_defs[1].number : 0;
  indicator.data_offset = 0;
  indicator.length = usable ? field_defs[1].max_length : 0;
  indicator.length_digits = field_defs[1].length_digits;
  if (usable) copy_message_bytes(message, 0, indicator.length, indicator.data.data());
  return indicator.length;
}

// Reads data element `field` at `*offset` and stores it. Returns
// kUnpacked, or the result that says why it cannot be read.
UnpackResult unpack_element(const MessageBytes& message, int field, int* offset) {
  if (!field_is_usable(field)) return UnpackResult::kFieldNotDefined;
  const FieldDef& def = field_defs[field];
  FieldValue& value = field_values[field];
  value.length_digits = def.length_digits;
  value.data_offset = *offset + def.length_digits;
  if (def.length_digits == 0) {
    value.length = def.max_length;
  } else {
    unsigned char digits[kMaxLengthDigits + 1] = {};
    copy_message_bytes(message, *offset, def.length_digits, digits);
    value.length = read_length_indicator(digits);
    if (value.length > def.max_length) return UnpackResult::kLengthTooLong;
    if (value.length < 0) {
      value.length = 0;
      return UnpackResult::kLengthInvalid;
    }
  }
  value.number = field;
  copy_message_bytes(message, value.data_offset, value.length, value.data.data());
  *offset += def.length_digits + value.length;
  return UnpackResult::kUnpacked;
}

}  // namespace

const char* unpack_result_name(UnpackResult result) {
  for (const ResultName& row : kResultNames) {
    if (row.result == result) return row.name;
  }
  return "";
}

UnpackVerdict unpack_fields(const MessageBytes& message, int byte_count,
                            unsigned char bitmap[kBitmapLength]) {
  reset_field_values();
  int offset = unpack_type_indicator(message);
  copy_message_bytes(message, offset, kBitmapLength, bitmap);
  offset += kBitmapLength;
  UnpackVerdict verdict;
  for (int field = 2; field <= kLastField; ++field) {
    if (!is_flagged(bitmap, field)) continue;
    verdict.result = unpack_element(message, field, &offset);
    if (verdict.result != UnpackResult::kUnpacked) {
      verdict.field = field;
      return verdict;
    }
  }
  verdict.end_offset = offset;
  if (offset > byte_count) {
    verdict.result = UnpackResult::kTooShort;
    verdict.needed = offset;
    verdict.available = byte_count;
  }
  return verdict;
}

int unpack_message(const MessageBytes& message, Report* report, int byte_count) {
  static DecodedMessage decoded;
  decoded.verdict = unpack_fields(message, byte_count, decoded.bitmap);
  collect_stored_fields(&decoded);
  report->clear();
  write_field_report(decoded, report);
  return decoded.verdict.result == UnpackResult::kUnpacked ? 0 : -1;
}
