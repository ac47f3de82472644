// Telling what a text that is not hexadecimal really is.
#include "cli/text_hints.h"

#include <cstdio>

#include "cli/dump_line.h"
#include "encoding/cp936_to_utf8.h"

namespace {

bool is_control(unsigned char byte) { return byte < 0x20 || byte == 0x7F; }

bool is_blank(unsigned char byte) {
  return byte == ' ' || byte == '\t' || byte == '\r' || byte == '\n';
}

// The code point of the well-formed UTF-8 character at text[offset], or -1.
long utf8_code_point(std::string_view text, size_t offset) {
  const unsigned char lead = static_cast<unsigned char>(text[offset]);
  const size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
  if (length == 1 || offset + length > text.size() ||
      !is_utf8(text.substr(offset, length))) {
    return -1;
  }
  long code = lead & (0x7F >> length);
  for (size_t k = 1; k < length; ++k) code = code << 6 | (text[offset + k] & 0x3F);
  return code;
}

// Calls `visit` with every line of `text`, without its line feed.
template <typename Visit>
void for_each_line(std::string_view text, Visit visit) {
  while (!text.empty()) {
    const size_t end = text.find('\n');
    visit(text.substr(0, end));
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
}

}  // namespace

std::string shown_character(std::string_view text, size_t offset) {
  const unsigned char byte = static_cast<unsigned char>(text[offset]);
  char shown[16];
  if (byte > ' ' && byte < 0x7F) return std::string(1, static_cast<char>(byte));
  const long code = byte < 0x80 ? byte : utf8_code_point(text, offset);
  if (code >= 0) {
    std::snprintf(shown, sizeof shown, "U+%04lX", code);
  } else {
    std::snprintf(shown, sizeof shown, "byte 0x%02X", byte);
  }
  return shown;
}

std::vector<std::string> non_hex_hints(std::string_view text) {
  std::vector<std::string> hints;
  bool looks_like_dump = false;
  DumpLine line;
  for_each_line(text, [&](std::string_view text_line) {
    if (parse_dump_line(text_line, &line) == DumpLineKind::kBytes) looks_like_dump = true;
  });
  if (looks_like_dump) hints.push_back("the input looks like a hex dump; read it with --hexdump");
  bool has_control = false;
  for (const char ch : text) {
    if (is_control(static_cast<unsigned char>(ch)) && !is_blank(static_cast<unsigned char>(ch))) {
      has_control = true;
    }
  }
  if (has_control || !is_utf8(text)) {
    hints.push_back("the input holds bytes that are not text; read them with --binary");
  }
  return hints;
}

size_t count_non_blank_lines(std::string_view text) {
  size_t count = 0;
  for_each_line(text, [&count](std::string_view line) {
    for (const char ch : line) {
      if (!is_blank(static_cast<unsigned char>(ch))) {
        ++count;
        break;
      }
    }
  });
  return count;
}
