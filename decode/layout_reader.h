// Reading the layouts of composite fields from a definition file: a
// layout from the properties of the line that declares it, the keys of
// its parts, and the checks that the whole file's layouts state
// precisely how to cut the data.
#ifndef DECODE_LAYOUT_READER_H_
#define DECODE_LAYOUT_READER_H_

#include <string>

#include "decode/dialect.h"
#include "decode/dialect_properties.h"

// Whether `settings` declare a layout, or set any of a layout's properties.
bool has_layout_settings(const LineSettings& settings);

// Fills `layout` from the properties of the line that declares it.
// Returns false after writing into `reason` what is wrong: a layout's
// property without layout=, or one that the kind does not take, or a
// property the kind needs that is missing.
bool read_layout(const LineSettings& settings, Layout* layout, std::string* reason);

// Whether `key` (as written after its parent's id) can name a part of
// `layout`; otherwise writes into `reason` why not. Numbered keys get
// their number in `number`; keys of binary tags are made upper case.
bool read_part_key(const Layout& layout, std::string* key, int* number, std::string* reason);

// The checks that need all of a file: the parts of numbered layouts in
// order and without gaps, at most one part taking the rest of the data, a
// repeated group that exists, and parts of a fixed field that fill it.
// Returns false after writing into `line` and `reason` the first problem.
bool check_layouts(Dialect* dialect, int* line, std::string* reason);

#endif  // DECODE_LAYOUT_READER_H_
