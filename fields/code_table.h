// Code tables: what the values of a coded data element or chip-data
// object mean, and elements made of several codes side by side (the
// processing code, the message type indicator).
#ifndef FIELDS_CODE_TABLE_H_
#define FIELDS_CODE_TABLE_H_

#include <string>
#include <string_view>

// The meaning of the codes `first` to `last`, the values of their digits.
struct CodeMeaning {
  int first;
  int last;
  std::string_view meaning;  // never empty
};

// A table of code meanings, in ascending order of code, without overlaps.
struct CodeTable {
  const CodeMeaning* rows;
  int count;
};

// Whether `rows` are in ascending order without overlaps, as searching
// them needs; for a static_assert beside every table.
template <int kCount>
constexpr bool is_code_table(const CodeMeaning (&rows)[kCount]) {
  for (int k = 0; k < kCount; ++k) {
    if (rows[k].first > rows[k].last) return false;
    if (k > 0 && rows[k - 1].last >= rows[k].first) return false;
  }
  return true;
}

// The table of `rows`.
template <int kCount>
constexpr CodeTable code_table(const CodeMeaning (&rows)[kCount]) {
  return CodeTable{rows, kCount};
}

// The meaning of `code` in `table`, or an empty text.
std::string_view find_meaning(const CodeTable& table, int code);

// Appends the meaning of the `width` ASCII digits at `digits` in `table`
// to `out`. Returns false, appending nothing, for a code not in the table.
bool describe_code(const CodeTable& table, const unsigned char* digits, int width,
                   std::string* out);

// One code within an element: `width` digits from `offset`.
struct CodePart {
  int offset;
  int width;
  CodeTable table;
  std::string_view prefix;   // written before the code's meaning: "from "
  std::string_view unknown;  // written before the digits of a code not in
                             // the table: "transaction type "
};

// Appends to `out` the meanings of the `count` parts of `digits`, ASCII
// digits that cover every part, separated by ", ". Returns false,
// appending nothing, when no part has a meaning.
bool describe_parts(const unsigned char* digits, const CodePart* parts, int count,
                    std::string* out);

// describe_parts for every part of `parts`.
template <int kCount>
bool describe_parts(const unsigned char* digits, const CodePart (&parts)[kCount],
                    std::string* out) {
  return describe_parts(digits, parts, kCount, out);
}

#endif  // FIELDS_CODE_TABLE_H_
