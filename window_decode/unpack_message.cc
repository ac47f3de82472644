// The window's unpack and field 55 listing, over the library's unpack,
// walk and report writer.
#include "window_decode/unpack_message.h"

#include "decode/field_report.h"
#include "decode/unpack.h"
#include "window_decode/field_tables.h"

int unpack_message(const MessageBytes& message, Report* report, int byte_count) {
  reset_field_values();
  DecodedMessage& decoded = window_message();
  const int count = byte_count < kMessageCapacity ? byte_count : kMessageCapacity;
  const UnpackVerdict& verdict =
      unpack(window_decoder().dialect(), message.data(), count > 0 ? count : 0, &decoded);
  store_field_values(decoded);
  write_field_report(decoded, report);
  return verdict.result == UnpackResult::kUnpacked ? 0 : -1;
}

int decode_field55(const std::vector<unsigned char>& data, int length, Report* report) {
  if (field_values[55].number != 55) return 0;
  DecodedField field55;
  field55.number = 55;
  field55.length = length;
  field55.data = data.data();
  field55.readable = static_cast<int>(data.size());
  std::vector<TlvElement> elements;
  walk_tlv(field55.data, field55.readable, 0, length, &elements);
  write_field55_listing(field55, elements, report);
  return 0;
}

void append_tag_line(const unsigned char* tag_bytes, int tag_length, const unsigned char* value,
                     int value_length, int sequence, Report* report) {
  TlvElement element{};
  element.tag[0] = tag_bytes[0];
  element.tag[1] = tag_length == 2 ? tag_bytes[1] : 0;
  element.tag_length = tag_length;
  element.value_length = value_length;
  DecodedField holder;
  holder.data = value;
  holder.readable = value_length;
  write_tag_line(holder, element, sequence, report);
}
