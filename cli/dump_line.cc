// Telling hex dump lines apart from other lines, by each dump form's own
// separators.
#include "cli/dump_line.h"

#include <cstddef>

#include "decode/hex_text.h"

namespace {

constexpr size_t kMinOffsetDigits = 2;
constexpr size_t kMaxOffsetDigits = 8;
// Behind a log prefix an offset has at least this many digits, so that a
// time such as "09:30:15" is not taken for one.
constexpr size_t kMinPrefixedOffsetDigits = 4;
// How many words in front of a dump may make a log prefix.
constexpr int kMaxPrefixWords = 8;
// A run of this many blanks after the bytes of the spaced form starts the
// character column (Wireshark's has no delimiters).
constexpr size_t kColumnGap = 3;

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
    const size_t gap_start = at;
    while (at < text.size() && is_blank(text[at])) ++at;
    if (at == text.size()) return !bytes->empty();
    if (!bytes->empty() && at - gap_start >= kColumnGap) return true;
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

// Reads `offset` from the `digits` hexadecimal digits at text[at].
uint32_t read_offset(std::string_view text, size_t at, size_t digits) {
  uint32_t offset = 0;
  for (size_t i = at; i < at + digits; ++i) {
    offset = offset << 4 | static_cast<uint32_t>(hex_digit_value(text[i]));
  }
  return offset;
}

// A line of bare hexadecimal digits: an even count is bytes (xxd -p), an
// odd count of offset length a closing length.
DumpLineKind parse_bare_digits(std::string_view text, DumpLine* line) {
  const size_t digits = text.size();
  const bool offset_length = digits >= kMinOffsetDigits && digits <= kMaxOffsetDigits;
  if (offset_length) line->offset = read_offset(text, 0, digits);
  if (digits % 2 == 0) {
    append_bytes(text, 0, digits, &line->bytes);
    line->may_be_length = offset_length;
    return line->kind = DumpLineKind::kDigits;
  }
  return line->kind = offset_length ? DumpLineKind::kEnd : DumpLineKind::kNone;
}

// Parses `text`, trimmed, as a dump line that starts with its offset; behind
// a log prefix (`prefixed`) only as a bytes line.
DumpLineKind parse_from_offset(std::string_view text, bool prefixed, DumpLine* line) {
  line->kind = DumpLineKind::kNone;
  line->offset = 0;
  line->bytes.clear();
  line->may_be_length = false;
  if (!prefixed && text == "*") return line->kind = DumpLineKind::kRepeat;
  const size_t start = text.substr(0, 2) == "0x" ? 2 : 0;  // tcpdump's offsets
  const size_t digits = hex_run(text, start);
  if (!prefixed && start == 0 && digits > 0 && digits == text.size()) {
    return parse_bare_digits(text, line);
  }
  const size_t least = prefixed ? kMinPrefixedOffsetDigits : kMinOffsetDigits;
  const size_t after = start + digits;
  if (digits < least || digits > kMaxOffsetDigits || after == text.size()) {
    return DumpLineKind::kNone;
  }
  const bool parsed = text[after] == ':'     ? parse_colon_bytes(text, after + 1, &line->bytes)
                      : is_blank(text[after]) ? parse_spaced_bytes(text, after, &line->bytes)
                                              : false;
  if (!parsed) {
    line->bytes.clear();
    return DumpLineKind::kNone;
  }
  line->offset = read_offset(text, start, digits);
  return line->kind = DumpLineKind::kBytes;
}

}  // namespace

DumpLineKind parse_dump_line(std::string_view text, DumpLine* line) {
  while (!text.empty() && (is_blank(text.back()) || text.back() == '\r')) text.remove_suffix(1);
  while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
  if (parse_from_offset(text, false, line) != DumpLineKind::kNone) return line->kind;
  // A log prefix: each of the first words may start the dump.
  size_t at = 0;
  for (int word = 0; word < kMaxPrefixWords; ++word) {
    at = text.find_first_of(" \t", at);
    if (at == std::string_view::npos) break;
    at = text.find_first_not_of(" \t", at);
    if (parse_from_offset(text.substr(at), true, line) == DumpLineKind::kBytes) return line->kind;
  }
  return DumpLineKind::kNone;
}
