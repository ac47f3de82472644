// Code tables of chip-data values: a code, or a run of codes, and what it
// means.
#ifndef EMV_CODE_TABLE_H_
#define EMV_CODE_TABLE_H_

// Codes first to last, inclusive, mean `text`.
struct CodeRange {
  int first;
  int last;
  const char* text;
};

// What `code` means in the table `rows`, or nullptr when no row holds it.
template <int kRows>
const char* code_text(const CodeRange (&rows)[kRows], int code) {
  for (const CodeRange& row : rows) {
    if (row.first <= code && code <= row.last) return row.text;
  }
  return nullptr;
}

#endif  // EMV_CODE_TABLE_H_
