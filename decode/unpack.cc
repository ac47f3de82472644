// The message unpacker. It finds every field first, as offsets into the
// message, and then makes the views: only then is the copy of the message
// as long as its fields need.
#include "decode/unpack.h"

#include <cstring>

#include "decode/ebcdic.h"
#include "decode/field_codec.h"
#include "decode/hex_text.h"
#include "decode/part_walk.h"

namespace {

// The message being unpacked: its bytes, and zeros past them.
class MessageReader {
 public:
  MessageReader(const unsigned char* bytes, int count) : bytes_(bytes), count_(count) {}

  // The `length` bytes at `offset`: in the message, or copied into
  // `scratch` (room for `length` bytes) with zeros past its end.
  const unsigned char* view(int offset, int length, unsigned char* scratch) const {
    if (offset >= 0 && offset + length <= count_) return bytes_ + offset;
    copy(offset, length, scratch);
    return scratch;
  }

  // Copies `length` bytes from `offset` into `destination`.
  void copy(int offset, int length, unsigned char* destination) const {
    const int available = offset < count_ ? count_ - offset : 0;
    const int copied = length < available ? length : available;
    if (copied > 0) std::memcpy(destination, bytes_ + offset, static_cast<size_t>(copied));
    if (copied < length) std::memset(destination + copied, 0, static_cast<size_t>(length - copied));
  }

 private:
  const unsigned char* bytes_;
  int count_;
};

// Finds the message type indicator at `offset`; returns the offset after it.
int find_type_indicator(const Dialect& dialect, int offset, DecodedField* indicator) {
  const FieldDef& def = dialect.defs[1];
  const bool defined = dialect.defines(1);
  indicator->number = defined ? 1 : 0;
  indicator->data_offset = offset;
  indicator->unit_length = defined ? def.max_length : 0;
  indicator->length = defined ? data_bytes(def.format, def.max_length) : 0;
  indicator->length_digits = def.length_digits;
  indicator->format = &def.format;
  return offset + indicator->length;
}

// Reads one bitmap of 64 fields at `*offset` into `bits` (8 bytes).
// Returns false when a bitmap written as text holds a non-hex character.
bool read_bitmap(const MessageFormat& format, const MessageReader& reader, int* offset,
                 unsigned char* bits) {
  const int size = bitmap_bytes(format.bitmap);
  unsigned char bytes[16];
  reader.copy(*offset, size, bytes);
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

// Finds data element `number` at `*offset` and appends it to `fields`.
// Returns kUnpacked, or the result that says why it cannot be read.
UnpackResult find_element(const Dialect& dialect, const MessageReader& reader, int number,
                          int* offset, std::vector<DecodedField>* fields) {
  if (!dialect.defines(number)) return UnpackResult::kFieldNotDefined;
  const FieldDef& def = dialect.defs[number];
  const int indicator_size = indicator_bytes(def.format.length, def.length_digits);
  int unit_length = def.max_length;
  if (def.length_digits > 0) {
    unsigned char scratch[kMaxLengthDigits];
    const unsigned char* digits = reader.view(*offset, indicator_size, scratch);
    if (read_length_indicator(def.format.length, def.length_digits, digits, &unit_length) ==
        IndicatorRead::kNotDigits) {
      return UnpackResult::kLengthNotDigits;
    }
    if (unit_length > def.max_length) return UnpackResult::kLengthTooLong;
    if (unit_length < 0) return UnpackResult::kLengthInvalid;
  }
  fields->emplace_back();
  DecodedField& field = fields->back();
  field.number = number;
  field.length_digits = def.length_digits;
  field.data_offset = *offset + indicator_size;
  field.unit_length = unit_length;
  field.length = data_bytes(def.format, unit_length);
  field.format = &def.format;
  *offset = field.data_offset + field.length;
  return UnpackResult::kUnpacked;
}

// Finds the header, the type indicator, the bitmap and the flagged
// elements of the message that `reader` reads; returns the verdict.
UnpackVerdict find_fields(const Dialect& dialect, const MessageReader& reader, int count,
                          DecodedMessage* message) {
  const MessageFormat& format = dialect.message;
  UnpackVerdict verdict;
  if (format.header_length > count) {
    verdict.result = UnpackResult::kHeaderTooLong;
    verdict.needed = format.header_length;
    verdict.available = count;
    return verdict;
  }
  message->header_length = format.header_length;
  int offset = find_type_indicator(dialect, format.header_length, &message->type_indicator);
  bool bitmap_read = read_bitmap(format, reader, &offset, message->bitmap);
  if (bitmap_read && format.secondary_when_flagged && !is_flagged(message->bitmap, 1)) {
    message->bitmap_length = 8;
  } else if (bitmap_read) {
    bitmap_read = read_bitmap(format, reader, &offset, message->bitmap + 8);
  }
  if (!bitmap_read) {
    verdict.result = UnpackResult::kBitmapNotHex;
    return verdict;
  }
  // Byte by byte and flag by flag, so that a byte costs one test and each
  // field its own flag; bit 1 flags the secondary bitmap, not a field.
  for (int byte = 0; byte < message->bitmap_length; ++byte) {
    unsigned int flags = message->bitmap[byte] & (byte == 0 ? 0x7Fu : 0xFFu);
    while (flags != 0) {
      const int bit = __builtin_clz(flags) - static_cast<int>(8 * (sizeof flags - 1));
      flags &= ~(0x80u >> bit);
      const int number = 8 * byte + bit + 1;
      verdict.result = find_element(dialect, reader, number, &offset, &message->fields);
      if (verdict.result != UnpackResult::kUnpacked) {
        verdict.field = number;
        return verdict;
      }
    }
  }
  verdict.end_offset = offset;
  if (offset > count) {
    verdict.result = UnpackResult::kTooShort;
    verdict.needed = offset;
    verdict.available = count;
  }
  return verdict;
}

// Points `field` into the message's bytes.
void view_bytes(const std::vector<unsigned char>& bytes, DecodedField* field) {
  field->data = bytes.data() + field->data_offset;
  field->readable = field->length;
  field->value = reinterpret_cast<const char*>(field->data);
  field->value_length = field->length;
}

// The most characters the text of `field` may take.
size_t text_room(const DecodedField& field) {
  return is_plain(field) ? 0 : static_cast<size_t>(value_capacity(*field.format, field.unit_length));
}

// Writes the text of `field`, which is not plain, at `*used` of `text`.
void write_text(EbcdicCodePage code_page, std::vector<char>* text, size_t* used,
                DecodedField* field) {
  char* start = text->data() + *used;
  field->value_length = decode_value(*field->format, code_page, field->unit_length, field->data, start);
  field->value = start;
  *used += static_cast<size_t>(field->value_length);
}

}  // namespace

const UnpackVerdict& unpack(const Dialect& dialect, const unsigned char* bytes, int count,
                            DecodedMessage* message) {
  message->dialect = &dialect;
  message->byte_count = count;
  message->header_length = 0;
  message->type_indicator = DecodedField{};
  message->type_indicator.format = &dialect.defs[1].format;
  std::memset(message->bitmap, 0, sizeof message->bitmap);
  message->bitmap_length = kBitmapLength;
  message->fields.clear();
  message->field55.clear();
  message->parts.clear();
  message->misfits.clear();
  message->part_ids.clear();
  message->part_text.clear();
  message->byte_marks.clear();
  message->part_text_marks.clear();
  message->text_marks.clear();
  message->verdict = find_fields(dialect, MessageReader(bytes, count), count, message);

  // The copy reaches to the end of the last field, zeros past the message.
  DecodedField& indicator = message->type_indicator;
  int end = indicator.data_offset + indicator.length;
  if (!message->fields.empty()) {
    const DecodedField& last = message->fields.back();
    end = last.data_offset + last.length;
  }
  message->bytes.assign(bytes, bytes + count);
  if (end > count) message->bytes.resize(static_cast<size_t>(end), 0);
  message->header = message->bytes.data();

  size_t room = text_room(indicator);
  for (const DecodedField& field : message->fields) room += text_room(field);
  message->text.resize(room);
  size_t used = 0;
  const EbcdicCodePage code_page = dialect.message.code_page;
  view_bytes(message->bytes, &indicator);
  if (!is_plain(indicator)) write_text(code_page, &message->text, &used, &indicator);
  for (DecodedField& field : message->fields) {
    view_bytes(message->bytes, &field);
    if (!is_plain(field)) write_text(code_page, &message->text, &used, &field);
  }
  message->text.resize(used);

  if (!dialect.layouts.empty()) {
    for (DecodedField& field : message->fields) {
      const int layout = dialect.defs[field.number].layout;
      if (layout >= 0) walk_parts(dialect, dialect.layouts[static_cast<size_t>(layout)], &field, message);
    }
    fix_part_views(message);
  }

  if (const DecodedField* field55 = message->find(55)) {
    walk_tlv(field55->data, field55->readable, 0, field55->length, &message->field55);
  }
  return message->verdict;
}
