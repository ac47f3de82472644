// The BER-TLV walk.
#include "decode/tlv.h"

void walk_tlv(const unsigned char* data, int readable, int begin, int end,
              std::vector<TlvElement>* elements) {
  int position = begin;
  while (position < end) {
    TlvElement element{};
    element.offset = position;
    element.tag[0] = byte_at(data, readable, position);
    element.tag_length = (element.tag[0] & 0x1F) == 0x1F ? 2 : 1;
    if (element.tag_length == 2) element.tag[1] = byte_at(data, readable, position + 1);
    position += element.tag_length;

    int value_length = byte_at(data, readable, position);
    if ((value_length & 0x80) == 0) {
      position += 1;
    } else {
      const int count = value_length & 0x0F;
      if (count < 1 || count > 2) return;
      value_length = 0;
      for (int k = 1; k <= count; ++k) {
        value_length = (value_length << 8) | byte_at(data, readable, position + k);
      }
      position += 1 + count;
    }
    if (value_length > kMaxTagValueLength) return;
    element.value_offset = position;
    element.value_length = value_length;
    position += value_length;
    elements->push_back(element);
  }
}
