// The report of one decode: code page 936 text with CR LF line ends,
// built by appending formatted lines.
#ifndef DECODE_REPORT_H_
#define DECODE_REPORT_H_

#include <string>

// The report text. It grows as needed, so no line is ever cut.
using Report = std::string;

// Appends `format` to `report` with its conversions filled in, as the C
// printf family would: flags '-' and '0', a width and a precision (digits
// or '*'), and the conversions d, X and s, with widths and precisions
// counting bytes. A precision on %s stops it at that many bytes; it also
// stops at the first zero byte. Anything else in `format` is copied.
void append_format(Report* report, const char* format, ...);

#endif  // DECODE_REPORT_H_
