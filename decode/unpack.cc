// The message unpacker and the field report.
#include "decode/unpack.h"

#include <cstring>

#include "decode/field_table.h"

namespace {

constexpr int kBitmapLength = 16;
constexpr int kLastField = 128;

// Copies `count` message bytes from `offset` into `destination`; bytes
// outside the message buffer read as zero, like the bytes after the message.
void copy_message_bytes(const MessageBytes& message, int offset, int count,
                        unsigned char* destination) {
  std::memset(destination, 0, static_cast<size_t>(count));
  if (offset >= kMessageCapacity) return;
  int available = kMessageCapacity - offset;
  std::memcpy(destination, message.data() + offset,
              static_cast<size_t>(count < available ? count : available));
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

bool is_flagged(const unsigned char bitmap[kBitmapLength], int field) {
  return (bitmap[(field - 1) / 8] & (0x80 >> ((field - 1) % 8))) != 0;
}

const char* text_of(const FieldValue& value) {
  return reinterpret_cast<const char*>(value.data.data());
}

// Stores the message type indicator in row 1 and starts the report with
// the heading; returns the offset after the indicator.
int unpack_type_indicator(const MessageBytes& message, Report* report) {
  FieldValue& indicator = field_values[1];
  const bool usable = field_is_usable(1);
  indicator.number = usable ? field_defs[1].number : 0;
  indicator.data_offset = 0;
  indicator.length = usable ? field_defs[1].max_length : 0;
  indicator.length_digits = field_defs[1].length_digits;
  static const char kEmpty[] = "";
  const char* text = kEmpty;
  if (usable) {
    copy_message_bytes(message, 0, indicator.length, indicator.data.data());
    text = text_of(indicator);
  }
  report->clear();
  // "开始解包:" (start unpacking)
  append_format(report, "\xBF\xAA\xCA\xBC\xBD\xE2\xB0\xFC:\r\nfld[000][%03d]=[%-*.*s]\r\n",
                indicator.length, indicator.length, indicator.length, text);
  return indicator.length;
}

// Reads data element `field` at `*offset`, stores it and appends its line.
// Returns 0, or -1 after appending the line that says why it cannot be read.
int unpack_element(const MessageBytes& message, int field, int* offset, Report* report) {
  if (!field_is_usable(field)) {
    append_format(report, "fld[%d] bitmap is not exist!\r\n", field);
    return -1;
  }
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
    if (value.length > def.max_length) {
      append_format(report, "fld[%d] length is too long!\r\n", field);
      return -1;
    }
    if (value.length < 0) {
      value.length = 0;
      append_format(report, "fld[%d] length is invalid!\r\n", field);
      return -1;
    }
  }
  value.number = field;
  copy_message_bytes(message, value.data_offset, value.length, value.data.data());
  *offset += def.length_digits + value.length;
  append_format(report, "fld[%03d][%03d]=[%-*.*s]\r\n", field, value.length, value.length,
                value.length, text_of(value));
  return 0;
}

}  // namespace

int unpack_message(const MessageBytes& message, Report* report, int byte_count) {
  reset_field_values();
  int offset = unpack_type_indicator(message, report);
  unsigned char bitmap[kBitmapLength];
  copy_message_bytes(message, offset, kBitmapLength, bitmap);
  offset += kBitmapLength;
  for (int field = 2; field <= kLastField; ++field) {
    if (!is_flagged(bitmap, field)) continue;
    if (unpack_element(message, field, &offset, report) != 0) return -1;
  }
  if (offset > byte_count) {
    append_format(report, "offset[%d],inLen[%d].\r\n", offset, byte_count);
    // "报文体总长度过短." (message body too short)
    append_format(report,
                  "\xB1\xA8\xCE\xC4\xCC\xE5\xD7\xDC\xB3\xA4\xB6\xC8\xB9\xFD\xB6\xCC.\r\n");
    return -1;
  }
  // "解包成功" (unpacked successfully)
  append_format(report, "\xBD\xE2\xB0\xFC\xB3\xC9\xB9\xA6\r\n");
  return 0;
}
