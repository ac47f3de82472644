// Telling hex dump lines apart from other lines, by each dump form's own
// separators.
#include "cli/dump_line.h"

#include <cstddef>

#include "decode/hex_text.h"

namespace {

constexpr size_t kMinOffsetDigits = 2;
constexpr size_t kMaxOffsetDigits = 8;

bool is_blank(char c) { return c == ' ' || c == '\t'; }

// The number of hexadecimal digits in a row from text[at].
size_t hex_run(std::string_view text, size_t at) {
  size_t end = at;
  while (end < text.size() && hex_digit_value(text[end]) >= 0) ++end;
  return end - at;
}

// Appends the bytes of the `digits` hexadecimal digits at text[at].
void append_bytes(std::string_view text, size_t at, size_t digits, std::string* bytes) {
  for (size_t i = at; i < at + digits; i += 2) {
    bytes->push_back(static_cast<char>(hex_digit_value(text[i]) << 4 | hex_digit_value(text[i + 1])));
  }
}

// The bytes of the colon form, from just after the ':'.
bool parse_colon_bytes(std::string_view text, size_t at, std::string* bytes) {
  while (at < text.size() && is_blank(text[at])) ++at;
  for (;;) {
    const size_t digits = hex_run(text, at);
    if (digits == 0 || digits % 2 != 0) return false;
    append_bytes(text, at, digits, bytes);
    at += digits;
    if (at == text.size() || text[at] == '\t') return true;
    if (text[at] != ' ') return false;
    ++at;
    // A second blank separates the character column.
    if (at == text.size() || is_blank(text[at])) return true;
  }
}

// The bytes of the spaced form, from the blank after the offset.
bool parse_spaced_bytes(std::string_view text, size_t at, std::string* bytes) {
  for (;;) {
    while (at < text.size() && is_blank(text[at])) ++at;
    if (at == text.size()) return !bytes->empty();
    const char opening = text[at];
    if (opening == '|' || opening == '>') {
      const char closing = opening == '|' ? '|' : '<';
      return !bytes->empty() && text.size() - at >= 2 && text.back() == closing;
    }
    if (hex_run(text, at) != 2 || (at + 2 < text.size() && !is_blank(text[at + 2]))) {
      return false;
    }
    append_bytes(text, at, 2, bytes);
    at += 2;
  }
}

}  // namespace

DumpLineKind parse_dump_line(std::string_view text, DumpLine* line) {
  line->kind = DumpLineKind::kNone;
  line->offset = 0;
  line->bytes.clear();
  while (!text.empty() && (is_blank(text.back()) || text.back() == '\r')) text.remove_suffix(1);
  while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);

  if (text == "*") return line->kind = DumpLineKind::kRepeat;
  const size_t digits = hex_run(text, 0);
  if (digits < kMinOffsetDigits || digits > kMaxOffsetDigits) return DumpLineKind::kNone;
  for (size_t i = 0; i < digits; ++i) {
    line->offset = line->offset << 4 | static_cast<uint32_t>(hex_digit_value(text[i]));
  }

  if (digits == text.size()) return line->kind = DumpLineKind::kEnd;
  const bool parsed = text[digits] == ':' ? parse_colon_bytes(text, digits + 1, &line->bytes)
                      : is_blank(text[digits]) ? parse_spaced_bytes(text, digits, &line->bytes)
                                               : false;
  if (!parsed) {
    line->offset = 0;
    line->bytes.clear();
    return DumpLineKind::kNone;
  }
  return line->kind = DumpLineKind::kBytes;
}
