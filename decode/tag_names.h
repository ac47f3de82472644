// The report's dictionary of chip-data tags: the Chinese names of 25
// common EMV tags, which the field 55 lines of the report end with.
#ifndef DECODE_TAG_NAMES_H_
#define DECODE_TAG_NAMES_H_

#include <string_view>

#include "decode/tlv.h"

// One row of the dictionary.
struct TagName {
  char tag[5];    // upper-case hexadecimal text, "9F26", or "95" for one byte
  char name[31];  // zero-terminated code page 936 text
};

// The number of rows of the dictionary, and how many of them are filled;
// the rows after the filled ones have an empty tag and name.
constexpr int kTagNameRows = 30;
constexpr int kFilledTagNames = 25;

// The dictionary.
extern const TagName report_tag_names[kTagNameRows];

// The row of report_tag_names that names the tag of `element`: the first
// filled row with its tag, or the first empty row when none has it.
int tag_name_row(const TlvElement& element);

// The length of the name of row `row`.
size_t tag_name_length(int row);

// The Chinese name of the tag of `element` (code page 936), with its
// length: the name of its row.
std::string_view tag_name_text(const TlvElement& element);

#endif  // DECODE_TAG_NAMES_H_
