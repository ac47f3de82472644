// The walk of BER-TLV data, as field 55 carries the chip-card (EMV) data:
// element by element, each found as its tag, its length and where its
// value lies.
#ifndef DECODE_TLV_H_
#define DECODE_TLV_H_

#include <vector>

#include "decode/limits.h"

// One BER-TLV element as the walk found it. Offsets count from the start
// of the walked data; a value may run past the data's end, where it reads
// as zero bytes.
struct TlvElement {
  unsigned char tag[2];  // the tag's bytes; tag[1] is 0 for a one-byte tag
  int tag_length;        // 1 or 2: a third tag byte is never read
  int offset;            // where the element's tag starts
  int value_offset;      // where its value starts
  int value_length;      // 0 to kMaxTagValueLength
};

// Whether `element` is constructed: its value is a run of elements.
inline bool is_constructed(const TlvElement& element) { return (element.tag[0] & 0x20) != 0; }

// The byte at `position` of data of which `readable` bytes can be read;
// zero past them.
inline unsigned char byte_at(const unsigned char* data, int readable, int position) {
  return position >= 0 && position < readable ? data[position] : 0;
}

// Walks the elements that start in data[begin, end) and appends them to
// `elements`. Only the first `readable` bytes of `data` are read; bytes
// past them read as zero. An element is taken whenever its first byte lies
// before `end`. An element whose long-form length has a count other than 1
// or 2, or whose value is longer than kMaxTagValueLength, ends the walk
// and is not taken.
void walk_tlv(const unsigned char* data, int readable, int begin, int end,
              std::vector<TlvElement>* elements);

// Where a walk inside constructed `element` ends: at the end of its value,
// but no further than `walk_end`, where the walk that found it ends. So a
// walk into templates never takes the bytes of the elements that follow a
// template for tags and lengths.
inline int inner_walk_end(const TlvElement& element, int walk_end) {
  const int value_end = element.value_offset + element.value_length;
  return value_end < walk_end ? value_end : walk_end;
}

#endif  // DECODE_TLV_H_
