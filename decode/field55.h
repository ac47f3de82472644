// The field 55 decoder: walks the chip-card (EMV) data of field 55 as its
// BER-TLV elements, and names 25 common tags in Chinese.
#ifndef DECODE_FIELD55_H_
#define DECODE_FIELD55_H_

#include <string_view>
#include <vector>

#include "decode/report.h"

// One row of the tag dictionary.
struct TagName {
  char tag[5];    // upper-case hexadecimal text, "9F26", or "95" for one byte
  char name[31];  // zero-terminated code page 936 text
};

// The number of rows of tag_names, and how many of them are filled; the
// rows after the filled ones have an empty tag and name.
constexpr int kTagNameRows = 30;
constexpr int kFilledTagNames = 25;

// The tag dictionary.
extern const TagName tag_names[kTagNameRows];

// The longest value an element may have; a longer one ends the walk.
constexpr int kMaxTagValueLength = 300;

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

// The byte at `position` of data of which `readable` bytes can be read.
inline unsigned char byte_at(const unsigned char* data, int readable, int position) {
  return position >= 0 && position < readable ? data[position] : 0;
}

// The row of tag_names that names the tag of `element`: one of the filled
// rows, or the first empty row when the dictionary has none.
int tag_name_row(const TlvElement& element);

// The Chinese name of the tag of `element` (code page 936), with its
// length: the name of its row of tag_names.
std::string_view tag_name_text(const TlvElement& element);

// The Chinese name of the tag of `element` (code page 936): the name of
// its row of tag_names.
inline const char* tag_name_of(const TlvElement& element) {
  return tag_names[tag_name_row(element)].name;
}

// When the latest unpack stored field 55, appends to `report` one line per
// BER-TLV element of its first `length` bytes of `data` between an opening
// and a closing banner; otherwise appends nothing. Returns 0.
int decode_field55(const std::vector<unsigned char>& data, int length, Report* report);

// Appends the line of one element: its sequence number, tag, value length,
// value in hexadecimal and the tag's name from tag_names (empty when the
// tag is not there).
void append_tag_line(const unsigned char* tag_bytes, int tag_length, const unsigned char* value,
                     int value_length, int sequence, Report* report);

#endif  // DECODE_FIELD55_H_
