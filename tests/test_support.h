// Helpers shared by the decoding library's tests: readable expectations
// written in UTF-8 and turned into the report's code page 936 bytes, and
// definition tables and messages built from text.
#ifndef TESTS_TEST_SUPPORT_H_
#define TESTS_TEST_SUPPORT_H_

#include <string>
#include <vector>

#include "decode/report.h"

// `text` converted from the encoding `from` to `to` by the C library's
// iconv, independently of the program's own tables; throws when it cannot.
std::string iconv_convert(const char* to, const char* from, const std::string& text);

// `utf8` converted to code page 936 by the C library, independently of the
// decoder's own byte tables.
std::string cp936(const std::string& utf8);

// The report text for `utf8_lines`: converted to code page 936, and every
// line feed turned into CR LF.
Report report_text(const std::string& utf8_lines);

// Bytes from hexadecimal text; spaces are ignored.
std::string bytes_of(const std::string& hex);

// Upper-case hexadecimal text of `bytes`.
std::string hex_of(const std::string& bytes);

// Defines the fields of `definition_lines` (bitmap.ini contents); returns
// what parse_field_defs returned.
int define_fields(const std::string& definition_lines);

// The decoder's report for `hex_text`, which must decode.
Report decode_hex(const std::string& hex_text);

// Reads a whole file; fails the calling test when it cannot.
std::string read_file(const std::string& path);

// Records the errors the decoder reports while it lives.
class ErrorRecorder {
 public:
  ErrorRecorder();
  ~ErrorRecorder();
  const std::vector<std::string>& messages() const;
};

#endif  // TESTS_TEST_SUPPORT_H_
