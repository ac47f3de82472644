// A small printf for the report's format strings. It gives the bytes that
// snprintf gives for them, but appends straight to the growing report
// without a fixed line buffer and without the C library's locale handling,
// which keeps a decode in the microsecond range.
#include "decode/report.h"

#include <cstdarg>
#include <cstring>

namespace {

// One conversion specification: %[flags][width][.precision]conversion.
struct Conversion {
  bool left_align = false;
  bool zero_pad = false;
  int width = 0;
  int precision = -1;  // -1: none given
  char type = '\0';
};

// Reads a width or precision: digits, or '*' taking the next int argument.
int read_count(const char** cursor, va_list* args) {
  if (**cursor == '*') {
    ++*cursor;
    return va_arg(*args, int);
  }
  int count = 0;
  while (**cursor >= '0' && **cursor <= '9') count = count * 10 + (*(*cursor)++ - '0');
  return count;
}

void append_spaces(Report* report, int count) {
  if (count > 0) report->append(static_cast<size_t>(count), ' ');
}

// Appends `text` of `length` bytes padded to the conversion's width.
void append_padded(Report* report, const Conversion& conversion, const char* text, int length,
                   char pad) {
  int padding = conversion.width - length;
  if (!conversion.left_align) {
    if (pad == '0' && length > 0 && text[0] == '-') {
      report->push_back('-');
      ++text;
      --length;
    }
    if (padding > 0) report->append(static_cast<size_t>(padding), pad);
  }
  report->append(text, static_cast<size_t>(length));
  if (conversion.left_align) append_spaces(report, padding);
}

// Renders `value` in decimal so that it ends just before `end`, in a
// buffer with room for 11 bytes; returns where the text starts.
char* render_decimal(int value, char* end) {
  unsigned int magnitude = value < 0 ? 0u - static_cast<unsigned int>(value) : value;
  char* start = end;
  do {
    *--start = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (value < 0) *--start = '-';
  return start;
}

char* render_hex(unsigned int value, char* end) {
  static const char kDigits[] = "0123456789ABCDEF";
  char* start = end;
  do {
    *--start = kDigits[value & 0x0F];
    value >>= 4;
  } while (value != 0);
  return start;
}

// The length of `text` up to its first zero byte, reading at most `limit`
// bytes: a precision lets %s print data that has no terminating zero.
size_t bounded_length(const char* text, size_t limit) {
  const void* zero = std::memchr(text, '\0', limit);
  return zero != nullptr ? static_cast<size_t>(static_cast<const char*>(zero) - text) : limit;
}

void append_conversion(Report* report, const Conversion& conversion, va_list* args) {
  char digits[16];
  char* end = digits + sizeof digits;
  // The zero flag pads numbers only, and never beside the minus flag.
  char number_pad = conversion.zero_pad && !conversion.left_align ? '0' : ' ';
  switch (conversion.type) {
    case 'd': {
      const char* start = render_decimal(va_arg(*args, int), end);
      append_padded(report, conversion, start, static_cast<int>(end - start), number_pad);
      break;
    }
    case 'X': {
      const char* start = render_hex(va_arg(*args, unsigned int), end);
      append_padded(report, conversion, start, static_cast<int>(end - start), number_pad);
      break;
    }
    case 's': {
      const char* text = va_arg(*args, const char*);
      size_t length = conversion.precision >= 0
                          ? bounded_length(text, static_cast<size_t>(conversion.precision))
                          : std::strlen(text);
      append_padded(report, conversion, text, static_cast<int>(length), ' ');
      break;
    }
    default:
      report->push_back('%');
      report->push_back(conversion.type);
      break;
  }
}

}  // namespace

void append_format(Report* report, const char* format, ...) {
  va_list args;
  va_start(args, format);
  const char* cursor = format;
  while (*cursor != '\0') {
    const char* literal_end = std::strchr(cursor, '%');
    if (literal_end == nullptr) {
      report->append(cursor);
      break;
    }
    report->append(cursor, static_cast<size_t>(literal_end - cursor));
    cursor = literal_end + 1;
    if (*cursor == '%') {
      report->push_back('%');
      ++cursor;
      continue;
    }
    Conversion conversion;
    for (;; ++cursor) {
      if (*cursor == '-') {
        conversion.left_align = true;
      } else if (*cursor == '0') {
        conversion.zero_pad = true;
      } else {
        break;
      }
    }
    conversion.width = read_count(&cursor, &args);
    if (conversion.width < 0) conversion.width = 0;  // the report never asks for one
    if (*cursor == '.') {
      ++cursor;
      conversion.precision = read_count(&cursor, &args);
    }
    if (*cursor == '\0') break;
    conversion.type = *cursor++;
    append_conversion(report, conversion, &args);
  }
  va_end(args);
}
