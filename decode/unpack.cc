// The message unpacker and the field report.
#include "decode/unpack.h"

#include <cstring>

#include "decode/field_table.h"

namespace {

constexpr int kBitmapLength = 16;
constexpr int kLastField = 128;

// The room the report starts with: a typical message's lines fit.
constexpr size_t kExpectedReportLength = 2048;

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

bool is_flagged(const unsigned char bitmap[kBitmapLength], int field) {
  return (bitmap[(field - 1) / 8] & (0x80 >> ((field - 1) % 8))) != 0;
}

const char* text_of(const FieldValue& value) {
  return reinterpret_cast<const char*>(value.data.data());
}

// Writes the line of a stored element, as the format
// "fld[%03d][%03d]=[%-*.*s]\r\n" gives it with the field number, the
// length, the length again as width and precision, and the data. Spelled
// out piece by piece, as it is the line written most often.
void write_element_line(int field, const FieldValue& value, ReportWriter* writer) {
  writer->write("fld[");
  writer->zero_filled_decimal(field, 3);
  writer->write("][");
  writer->zero_filled_decimal(value.length, 3);
  writer->write("]=[");
  writer->left_aligned_text(text_of(value), static_cast<size_t>(value.length), value.length);
  writer->write("]\r\n");
}

// Stores the message type indicator in row 1 and writes the heading;
// returns the offset after the indicator.
int unpack_type_indicator(const MessageBytes& message, ReportWriter* writer) {
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
  // "开始解包:" (start unpacking)
  writer->format("\xBF\xAA\xCA\xBC\xBD\xE2\xB0\xFC:\r\nfld[000][%03d]=[%-*.*s]\r\n",
                 indicator.length, indicator.length, indicator.length, text);
  return indicator.length;
}

// Reads data element `field` at `*offset`, stores it and writes its line.
// Returns 0, or -1 after writing the line that says why it cannot be read.
int unpack_element(const MessageBytes& message, int field, int* offset, ReportWriter* writer) {
  if (!field_is_usable(field)) {
    writer->format("fld[%d] bitmap is not exist!\r\n", field);
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
      writer->format("fld[%d] length is too long!\r\n", field);
      return -1;
    }
    if (value.length < 0) {
      value.length = 0;
      writer->format("fld[%d] length is invalid!\r\n", field);
      return -1;
    }
  }
  value.number = field;
  copy_message_bytes(message, value.data_offset, value.length, value.data.data());
  *offset += def.length_digits + value.length;
  write_element_line(field, value, writer);
  return 0;
}

}  // namespace

int unpack_message(const MessageBytes& message, Report* report, int byte_count) {
  reset_field_values();
  report->clear();
  ReportWriter writer(report, kExpectedReportLength);
  int offset = unpack_type_indicator(message, &writer);
  unsigned char bitmap[kBitmapLength];
  copy_message_bytes(message, offset, kBitmapLength, bitmap);
  offset += kBitmapLength;
  for (int field = 2; field <= kLastField; ++field) {
    if (!is_flagged(bitmap, field)) continue;
    if (unpack_element(message, field, &offset, &writer) != 0) return -1;
  }
  if (offset > byte_count) {
    writer.format("offset[%d],inLen[%d].\r\n", offset, byte_count);
    // "报文体总长度过短." (message body too short)
    writer.write("\xB1\xA8\xCE\xC4\xCC\xE5\xD7\xDC\xB3\xA4\xB6\xC8\xB9\xFD\xB6\xCC.\r\n");
    return -1;
  }
  // "解包成功" (unpacked successfully)
  writer.write("\xBD\xE2\xB0\xFC\xB3\xC9\xB9\xA6\r\n");
  return 0;
}
