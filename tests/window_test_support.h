// Helpers of the tests of the window's decoding layer: its tables defined
// from text, its report of a pasted text, and the errors it reports.
#ifndef TESTS_WINDOW_TEST_SUPPORT_H_
#define TESTS_WINDOW_TEST_SUPPORT_H_

#include <string>
#include <vector>

#include "decode/report.h"

// Defines the window's fields from `definition_lines` (bitmap.ini
// contents); returns what parse_field_defs returned.
int define_fields(const std::string& definition_lines);

// The window's report for `hex_text`, which must decode.
Report decode_hex(const std::string& hex_text);

// Records the errors the window's layer reports while it lives.
class ErrorRecorder {
 public:
  ErrorRecorder();
  ~ErrorRecorder();
  const std::vector<std::string>& messages() const;
};

#endif  // TESTS_WINDOW_TEST_SUPPORT_H_
