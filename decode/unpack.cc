// The message unpacker.
#include "decode/unpack.h"

#include <cstring>

#include "decode/decoded_message.h"
#include "decode/decoder.h"
#include "decode/ebcdic.h"
#include "decode/field_codec.h"
#include "decode/field_report.h"
#include "decode/hex_text.h"

namespace {


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
    {UnpackResult::kHeaderTooLong, "header_too_long"},
    {UnpackResult::kBitmapNotHex, "bitmap_not_hex"},
    {UnpackResult::kLengthNotDigits, "length_not_digits"},
};

// Copies `count` message bytes from `offset` into `destination`; bytes
// outside the message buffer read as zero, like the bytes after the message.
void copy_message_bytes(const MessageBytes& message, int offset, int count,
                        unsigned char* destination) {
  const int available = offset < kMessageCapacity ? kMessageCapacity - offset : 0;
  const int copied = count < available ? count : available;
  if (copied > 0) std::memcpy(destination, message.data() + offset, static_cast<size_t>(copied));
  if (copied < count) std::memset(destination + copied, 0, static_cast<size_t>(count - copied));
}

// One field's text, when it is not shown as it stands.
void decode_text(const Dialect& dialect, int number, FieldValue* value) {
  const FieldFormat& format = dialect.defs[number].format;
  if (is_plain(format)) return;
  value->value_length = decode_value(format, dialect.message.code_page, value->unit_length,
                                     value->data.data(), value->value.data());
}

// Stores the message type indicator in row 1, which starts at `offset`;
// returns the offset after it.
int unpack_type_indicator(const Dialect& dialect, FieldValue values[kFieldRows],
                          const MessageBytes& message, int offset) {
  FieldValue& indicator = values[1];
  const FieldDef& def = dialect.defs[1];
  const bool usable = field_is_usable(dialect, values, 1);
  indicator.number = usable ? def.number : 0;
  indicator.data_offset = offset;
  indicator.unit_length = usable ? def.max_length : 0;
  indicator.length = usable ? data_bytes(def.format, def.max_length) : 0;
  indicator.length_digits = def.length_digits;
  if (!usable) return offset;
  copy_message_bytes(message, offset, indicator.length, indicator.data.data());
  decode_text(dialect, 1, &indicator);
  return offset + indicator.length;
}

// Reads one bitmap of 64 fields at `*offset` into `bits` (8 bytes).
// Returns false when a bitmap written as text holds a non-hex character.
bool read_bitmap(const MessageFormat& format, const MessageBytes& message, int* offset,
                 unsigned char* bits) {
  const int size = bitmap_bytes(format.bitmap);
  unsigned char bytes[16];
  copy_message_bytes(message, *offset, size, bytes);
  *offset += size;
  if (format.bitmap == BitmapEncoding::kBinary) {
    std::memcpy(bits, bytes, 8);
    return true;
  }
  for (int k = 0; k < 16; ++k) {
    const char ch = format.bitmap == BitmapEncoding::kHexEbcdic
                        ? ebcdic_to_ascii(format.code_page, bytes[k])
                        : static_cast<char>(bytes[k]);
    const int digit = hex_digit_value(ch);
    if (digit < 0) return false;
    bits[k / 2] = static_cast<unsigned char>(k % 2 == 0 ? digit << 4 : bits[k / 2] | digit);
  }
  return true;
}

// Reads data element `field` at `*offset` and stores it. Returns
// kUnpacked, or the result that says why it cannot be read.
UnpackResult unpack_element(const Dialect& dialect, FieldValue values[kFieldRows],
                            const MessageBytes& message, int field, int* offset,
                            MessageFrame* frame) {
  if (!field_is_usable(dialect, values, field)) return UnpackResult::kFieldNotDefined;
  frame->touched[frame->touched_count++] = static_cast<unsigned char>(field);
  const FieldDef& def = dialect.defs[field];
  FieldValue& value = values[field];
  const int indicator_size = indicator_bytes(def.format.length, def.length_digits);
  value.length_digits = def.length_digits;
  value.data_offset = *offset + indicator_size;
  if (def.length_digits == 0) {
    value.unit_length = def.max_length;
  } else {
    unsigned char digits[kMaxLengthDigits + 1] = {};
    copy_message_bytes(message, *offset, indicator_size, digits);
    if (read_length_indicator(def.format.length, def.length_digits,
                              digits, &value.unit_length) == IndicatorRead::kNotDigits) {
      value.unit_length = 0;
      return UnpackResult::kLengthNotDigits;
    }
    if (value.unit_length > def.max_length) {
      value.length = value.unit_length;
      return UnpackResult::kLengthTooLong;
    }
    if (value.unit_length < 0) {
      value.unit_length = 0;
      return UnpackResult::kLengthInvalid;
    }
  }
  value.length = data_bytes(def.format, value.unit_length);
  value.number = field;
  copy_message_bytes(message, value.data_offset, value.length, value.data.data());
  decode_text(dialect, field, &value);
  *offset = value.data_offset + value.length;
  return UnpackResult::kUnpacked;
}

}  // namespace

const char* unpack_result_name(UnpackResult result) {
  for (const ResultName& row : kResultNames) {
    if (row.result == result) return row.name;
  }
  return "";
}

UnpackVerdict unpack_fields(const Dialect& dialect, FieldValue values[kFieldRows],
                            const MessageBytes& message, int byte_count, MessageFrame* frame) {
  if (frame->touched_count < 0) {
    reset_field_values(dialect, values);
  } else {
    reset_field_value(&values[1]);
    for (int k = 0; k < frame->touched_count; ++k) reset_field_value(&values[frame->touched[k]]);
  }
  const MessageFormat& format = dialect.message;
  UnpackVerdict verdict;
  const bool header_fits = format.header_length <= byte_count;
  frame->header_length = header_fits ? format.header_length : 0;
  std::memset(frame->bitmap, 0, sizeof frame->bitmap);
  frame->bitmap_length = kBitmapLength;
  frame->touched_count = 0;
  if (!header_fits) {
    verdict.result = UnpackResult::kHeaderTooLong;
    verdict.needed = format.header_length;
    verdict.available = byte_count;
    return verdict;
  }
  int offset = unpack_type_indicator(dialect, values, message, format.header_length);
  bool bitmap_read = read_bitmap(format, message, &offset, frame->bitmap);
  if (bitmap_read && format.secondary_when_flagged && !is_flagged(frame->bitmap, 1)) {
    frame->bitmap_length = 8;
  } else if (bitmap_read) {
    bitmap_read = read_bitmap(format, message, &offset, frame->bitmap + 8);
  }
  if (!bitmap_read) {
    verdict.result = UnpackResult::kBitmapNotHex;
    return verdict;
  }
  // Byte by byte, so that the bytes flagging nothing cost one test.
  for (int byte = 0; byte < frame->bitmap_length; ++byte) {
    const unsigned char flags = frame->bitmap[byte];
    for (int bit = 0; flags != 0 && bit < 8; ++bit) {
      const int field = 8 * byte + bit + 1;
      if ((flags & (0x80 >> bit)) == 0 || field == 1) continue;
      verdict.result = unpack_element(dialect, values, message, field, &offset, frame);
      if (verdict.result != UnpackResult::kUnpacked) {
        verdict.field = field;
        return verdict;
      }
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
  Decoder& decoder = default_decoder();
  MessageFrame& frame = decoder.frame();
  decoded.verdict = unpack_fields(decoder.dialect(), decoder.values(), message, byte_count, &frame);
  collect_stored_fields(decoder.dialect(), decoder.values(), message, frame, &decoded);
  write_field_report(decoded, report);
  return decoded.verdict.result == UnpackResult::kUnpacked ? 0 : -1;
}
