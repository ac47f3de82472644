// The report of one decode: code page 936 text with CR LF line ends,
// built by appending formatted lines.
#ifndef DECODE_REPORT_H_
#define DECODE_REPORT_H_

#include <charconv>
#include <climits>
#include <cstdarg>
#include <cstddef>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

// The numbers 0 to 999 as three digits each, zero-filled.
struct ThreeDigits {
  char of[1000][3];
  constexpr ThreeDigits() : of() {
    for (int value = 0; value < 1000; ++value) {
      of[value][0] = static_cast<char>('0' + value / 100);
      of[value][1] = static_cast<char>('0' + value / 10 % 10);
      of[value][2] = static_cast<char>('0' + value % 10);
    }
  }
};
inline constexpr ThreeDigits kThreeDigits;

// Writes `value` (0 or more) in decimal at `out` as put_zero_filled(out,
// value, 1) does, out of line: for the thousands of numbers, which are
// few, so that the common case stays small enough to inline.
char* put_thousands(char* out, int value);

// Writes `value` (0 or more) in decimal at `out`, zero-filled to at least
// `digits` (1 to 3) characters, as "%0<digits>d" does; returns the end.
// Every three digits are one fixed move from the table, from the first
// one wanted, so up to two characters after the end are written too, for
// what follows to overwrite.
inline char* put_zero_filled(char* out, int value, int digits) {
  if (value >= 1000) {
    out = put_thousands(out, value / 1000);
    value %= 1000;
    digits = 3;
  }
  const int needed = value >= 100 ? 3 : value >= 10 ? 2 : 1;
  const int count = needed > digits ? needed : digits;
  const char* table = reinterpret_cast<const char*>(kThreeDigits.of);
  std::memcpy(out, table + 3 * value + 3 - count, 3);
  return out + count;
}

// Writes `value` in decimal at `out`, as "%ld" does; returns the end. Up
// to 20 characters, two more for what follows to overwrite.
constexpr size_t kDecimalRoom = 22;
inline char* put_decimal(char* out, long value) {
  if (value < 0 || value > INT_MAX) return std::to_chars(out, out + 20, value).ptr;
  return put_zero_filled(out, static_cast<int>(value), 1);
}

// Writes the string literal `text` at `out`: its length is known when
// compiling, so the copy is a few moves, not a call. Returns the end.
template <size_t kSize>
char* put(char* out, const char (&text)[kSize]) {
  std::memcpy(out, text, kSize - 1);
  return out + kSize - 1;
}

// Writes `text` at `out`; returns the end.
inline char* put(char* out, std::string_view text) {
  if (!text.empty()) std::memcpy(out, text.data(), text.size());
  return out + text.size();
}

// The report text. It grows as needed, so no line is ever cut.
using Report = std::string;

// Room that writers work in, kept by its owner from one text to the next:
// once it has grown to the size of the texts, writing allocates nothing.
struct WriterRoom {
  std::unique_ptr<char[]> bytes;
  size_t size = 0;
};

// Appends `format` to `report` with its conversions filled in, as the C
// printf family would: flags '-' and '0', a width and a precision (digits
// or '*'), and the conversions d, X and s, with widths and precisions
// counting bytes. A precision on %s stops it at that many bytes; it also
// stops at the first zero byte. Anything else in `format` is copied.
void append_format(Report* report, const char* format, ...);

// Writes text for a report through a pointer into room of its own, made in
// large steps and never cleared: far cheaper than appending a line's many
// short pieces one by one. The lines written for every element spell out
// their format in code, the others are formatted as by append_format.
// When the writer is gone, the report holds the text written (after its
// own text, or in its place).
class ReportWriter {
 public:
  // Where a writer starts.
  enum class Start {
    kAtEnd,      // after the report's text, which stays
    kReplacing,  // at its start: the text written replaces it
  };

  // Starts at the end of `report`, or replacing it, making room for
  // `expected_length` bytes; more room is made whenever it is needed.
  ReportWriter(Report* report, size_t expected_length, Start start = Start::kAtEnd);
  // The same in the room of `room`, which it gives back, grown as needed,
  // when it is gone.
  ReportWriter(Report* report, WriterRoom* room, Start start = Start::kAtEnd);
  ~ReportWriter();
  ReportWriter(const ReportWriter&) = delete;
  ReportWriter& operator=(const ReportWriter&) = delete;

  // Writes `length` bytes of `text`.
  void write(const char* text, size_t length) {
    if (length == 0) return;  // an empty text may have no address
    make_room(length);
    std::memcpy(cursor_, text, length);
    cursor_ += length;
  }

  void write(std::string_view text) { write(text.data(), text.size()); }

  // Writes a string literal: its length is known when compiling, so the
  // copy is a few moves, not a call.
  template <size_t kSize>
  void literal(const char (&text)[kSize]) {
    make_room(kSize - 1);
    cursor_ = put(cursor_, text);
  }

  // Writes one character.
  void write(char ch) {
    make_room(1);
    *cursor_++ = ch;
  }

  // Writes `format` with its conversions filled in, as append_format does,
  // taking the arguments that follow it or those of `args`.
  void format(const char* format, ...);
  void vformat(const char* format, va_list args);

  // Makes room for `length` bytes, counts them as written and returns
  // where they go, for a caller that fills them in itself.
  char* claim(size_t length) {
    make_room(length);
    char* start = cursor_;
    cursor_ += length;
    return start;
  }

  // Makes room for at most `length` bytes and returns where they go, for a
  // caller that writes them itself and then says where it stopped with
  // end_at(): a line of known greatest length, written without a test of
  // the room for each of its pieces.
  char* room_for(size_t length) {
    make_room(length);
    return cursor_;
  }
  void end_at(char* end) { cursor_ = end; }

  // Writes `count` copies of `ch`.
  void repeat(char ch, size_t count) {
    make_room(count);
    std::memset(cursor_, ch, count);
    cursor_ += count;
  }

  // Writes `length` bytes of `text` padded with `pad` to `width` bytes: on
  // the right when `left_align`, otherwise on the left, where zero padding
  // goes after a minus sign.
  void padded(const char* text, size_t length, int width, bool left_align, char pad);

  // Writes `value` in decimal, zero-filled to at least `digits`
  // characters, as "%0<digits>d" does.
  void zero_filled_decimal(int value, int digits) {
    if (value < 0 || value >= 1000 || digits < 1 || digits > 3) {
      write_any_number(value, digits);
      return;
    }
    // The report's field numbers, lengths and sequence numbers: three
    // digits from a table, of which the needed ones.
    end_at(put_zero_filled(room_for(5), value, digits));
  }

  // Writes `text` up to its first zero byte and at most `precision` bytes,
  // padded with spaces on the right to `width`, as "%-*.*s" does.
  void left_aligned_text(const char* text, size_t precision, int width);

 private:
  void make_room(size_t length) {
    if (static_cast<size_t>(limit_ - cursor_) < length) grow(length);
  }
  void grow(size_t length);
  // zero_filled_decimal for numbers outside 0 to 999 or wider than 3 digits.
  void write_any_number(int value, int digits);

  Report* report_;
  Start start_;
  WriterRoom* lender_ = nullptr;  // where the room goes back to, if anywhere
  std::unique_ptr<char[]> room_;  // uninitialised: what is written is all that is read
  char* cursor_;
  char* limit_;
};

#endif  // DECODE_REPORT_H_
