// The field 55 decoder: lists the chip-card (EMV) data of field 55 as its
// BER-TLV elements, naming 25 common tags in Chinese.
#ifndef DECODE_FIELD55_H_
#define DECODE_FIELD55_H_

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

// When the latest unpack stored field 55, appends to `report` one line per
// BER-TLV element of its first `length` bytes of `data` between an opening
// and a closing banner; otherwise appends nothing. Bytes past the end of
// `data` read as zero. An element whose long-form length has a count other
// than 1 or 2, or whose value is longer than kMaxTagValueLength, ends the
// walk unprinted, and the closing banner follows. Returns 0.
int decode_field55(const std::vector<unsigned char>& data, int length, Report* report);

// Appends the line of one element: its sequence number, tag, value length,
// value in hexadecimal and the tag's name from tag_names (empty when the
// tag is not there).
void append_tag_line(const unsigned char* tag_bytes, int tag_length, const unsigned char* value,
                     int value_length, int sequence, Report* report);

#endif  // DECODE_FIELD55_H_
