// A small printf for the report's format strings, and the writer under it.
// It gives the bytes that snprintf gives for them, but writes straight into
// the growing report, without a fixed line buffer and without the C
// library's locale handling, which keeps a decode in the microsecond range.
#include "decode/report.h"

#include <cstdarg>
#include <utility>

#include "decode/hex_text.h"

namespace {

// The least room a writer makes beyond what it was asked for when it
// grows; otherwise it doubles what it has written.
constexpr size_t kGrowthStep = 256;

// The room append_format starts with: most formatted lines fit.
constexpr size_t kExpectedLineLength = 64;

// One conversion directive: %[flags][width][.precision]conversion.
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

// Room for a rendered int: a sign and ten digits.
constexpr size_t kNumberRoom = 16;

// Renders `value` in decimal so that it ends just before `end`; returns
// where the text starts.
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
  char* start = end;
  do {
    *--start = kHexDigits[value & 0x0F];
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

void write_conversion(ReportWriter* writer, const Conversion& conversion, va_list* args) {
  char digits[kNumberRoom];
  char* end = digits + sizeof digits;
  // The zero flag pads numbers only, and never beside the minus flag.
  const char number_pad = conversion.zero_pad && !conversion.left_align ? '0' : ' ';
  switch (conversion.type) {
    case 'd': {
      const char* start = render_decimal(va_arg(*args, int), end);
      writer->padded(start, static_cast<size_t>(end - start), conversion.width,
                     conversion.left_align, number_pad);
      break;
    }
    case 'X': {
      const char* start = render_hex(va_arg(*args, unsigned int), end);
      writer->padded(start, static_cast<size_t>(end - start), conversion.width,
                     conversion.left_align, number_pad);
      break;
    }
    case 's': {
      const char* text = va_arg(*args, const char*);
      const size_t length = conversion.precision >= 0
                                ? bounded_length(text, static_cast<size_t>(conversion.precision))
                                : std::strlen(text);
      writer->padded(text, length, conversion.width, conversion.left_align, ' ');
      break;
    }
    default:
      writer->write('%');
      writer->write(conversion.type);
      break;
  }
}

}  // namespace

char* put_thousands(char* out, int value) { return put_zero_filled(out, value, 1); }

ReportWriter::ReportWriter(Report* report, size_t expected_length, Start start)
    : report_(report), start_(start), room_(new char[expected_length]) {
  cursor_ = room_.get();
  limit_ = cursor_ + expected_length;
}

ReportWriter::ReportWriter(Report* report, WriterRoom* room, Start start)
    : report_(report), start_(start), lender_(room) {
  if (room->bytes == nullptr) {
    room->bytes.reset(new char[kGrowthStep]);
    room->size = kGrowthStep;
  }
  room_ = std::move(room->bytes);
  cursor_ = room_.get();
  limit_ = cursor_ + room->size;
}

ReportWriter::~ReportWriter() {
  const size_t written = static_cast<size_t>(cursor_ - room_.get());
  if (start_ == Start::kReplacing) {
    report_->assign(room_.get(), written);
  } else {
    report_->append(room_.get(), written);
  }
  if (lender_ != nullptr) {
    lender_->size = static_cast<size_t>(limit_ - room_.get());
    lender_->bytes = std::move(room_);
  }
}

void ReportWriter::grow(size_t length) {
  const size_t written = static_cast<size_t>(cursor_ - room_.get());
  const size_t size = written + length + (written > kGrowthStep ? written : kGrowthStep);
  std::unique_ptr<char[]> larger(new char[size]);
  if (written > 0) std::memcpy(larger.get(), room_.get(), written);
  room_ = std::move(larger);
  cursor_ = room_.get() + written;
  limit_ = room_.get() + size;
}

void ReportWriter::padded(const char* text, size_t length, int width, bool left_align, char pad) {
  const size_t padding =
      width > 0 && static_cast<size_t>(width) > length ? static_cast<size_t>(width) - length : 0;
  if (!left_align) {
    if (pad == '0' && length > 0 && text[0] == '-') {
      write('-');
      ++text;
      --length;
    }
    repeat(pad, padding);
  }
  write(text, length);
  if (left_align) repeat(' ', padding);
}

void ReportWriter::write_any_number(int value, int digits) {
  char room[kNumberRoom];
  char* end = room + sizeof room;
  char* start = render_decimal(value, end);
  if (value < 0 || digits >= static_cast<int>(kNumberRoom)) {
    padded(start, static_cast<size_t>(end - start), digits, false, '0');
    return;
  }
  // Without a sign the zeros go in front of the digits: no padding needed.
  while (end - start < digits) *--start = '0';
  write(start, static_cast<size_t>(end - start));
}

void ReportWriter::left_aligned_text(const char* text, size_t precision, int width) {
  padded(text, bounded_length(text, precision), width, true, ' ');
}

void ReportWriter::format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  vformat(format, args);
  va_end(args);
}

void ReportWriter::vformat(const char* format, va_list args) {
  va_list remaining;
  va_copy(remaining, args);
  const char* cursor = format;
  while (*cursor != '\0') {
    // The literal runs between conversions are a few characters long: a
    // plain scan beats a library call.
    const char* literal_end = cursor;
    while (*literal_end != '\0' && *literal_end != '%') ++literal_end;
    write(cursor, static_cast<size_t>(literal_end - cursor));
    if (*literal_end == '\0') break;
    cursor = literal_end + 1;
    if (*cursor == '%') {
      write('%');
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
    conversion.width = read_count(&cursor, &remaining);
    if (conversion.width < 0) conversion.width = 0;  // the report never asks for one
    if (*cursor == '.') {
      ++cursor;
      conversion.precision = read_count(&cursor, &remaining);
    }
    if (*cursor == '\0') break;
    conversion.type = *cursor++;
    write_conversion(this, conversion, &remaining);
  }
  va_end(remaining);
}

void append_format(Report* report, const char* format, ...) {
  va_list args;
  va_start(args, format);
  ReportWriter writer(report, kExpectedLineLength);
  writer.vformat(format, args);
  va_end(args);
}
