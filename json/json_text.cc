// Writing JSON text.
#include "json/json_text.h"

#include <charconv>
#include <cstdint>
#include <cstring>

#include "rapidjson/stringbuffer.h"
#include "rapidjson/writer.h"

namespace {

// The room an object starts with: a typical message's JSON fits.
constexpr size_t kExpectedLength = 4096;

// The bytes that a JSON string holds as they are: all but the control
// characters, the quote and the backslash. Bytes from 0x80 up are parts of
// UTF-8 characters.
struct PlainBytes {
  bool is_plain[256];
  constexpr PlainBytes() : is_plain() {
    for (int byte = 0x20; byte < 256; ++byte) is_plain[byte] = byte != '"' && byte != '\\';
  }
};
constexpr PlainBytes kPlainBytes;

// Whether any of the eight bytes of `word` needs escaping: a control
// character, the quote or the backslash. Bytes from 0x80 up never do.
bool needs_escape(uint64_t word) {
  constexpr uint64_t kOnes = 0x0101010101010101u;
  constexpr uint64_t kHighBits = 0x8080808080808080u;
  auto has_zero_byte = [](uint64_t x) { return ((x - kOnes) & ~x & kHighBits) != 0; };
  const bool control = ((word - kOnes * 0x20) & ~word & kHighBits) != 0;
  return control || has_zero_byte(word ^ (kOnes * '"')) || has_zero_byte(word ^ (kOnes * '\\'));
}

// Whether any of the eight bytes of `word` is 0x7F or more.
bool has_high_byte(uint64_t word) {
  constexpr uint64_t kOnes = 0x0101010101010101u;
  constexpr uint64_t kHighBits = 0x8080808080808080u;
  const uint64_t delete_bytes = word ^ (kOnes * 0x7F);
  return (word & kHighBits) != 0 || ((delete_bytes - kOnes) & ~delete_bytes & kHighBits) != 0;
}

// Whether `text` needs no escaping in a JSON string, and, when
// `ascii_only`, holds no byte from 0x7F up either. Eight bytes at a time,
// as fields and names are mostly long runs of plain characters.
bool is_plain(std::string_view text, bool ascii_only) {
  size_t at = 0;
  for (; at + 8 <= text.size(); at += 8) {
    uint64_t word;
    std::memcpy(&word, text.data() + at, sizeof word);
    if (needs_escape(word) || (ascii_only && has_high_byte(word))) return false;
  }
  for (; at < text.size(); ++at) {
    const unsigned char byte = static_cast<unsigned char>(text[at]);
    if (!kPlainBytes.is_plain[byte] || (ascii_only && byte >= 0x7F)) return false;
  }
  return true;
}

}  // namespace

bool is_plain_ascii(std::string_view bytes) { return is_plain(bytes, true); }

void JsonText::start(std::string* text) {
  out_.emplace(text, kExpectedLength);
  depth_ = 0;
  after_key_ = false;
}

void JsonText::finish() { out_.reset(); }

void JsonText::separate() {
  if (needs_comma()) out_->write(',');
}

void JsonText::open(char bracket) {
  separate();
  out_->write(bracket);
  // Deeper nesting than a message's JSON has would be a fault of this
  // program; the brackets still balance.
  if (depth_ < kMaxDepth) has_values_[depth_] = false;
  ++depth_;
}

void JsonText::close(char bracket) {
  --depth_;
  out_->write(bracket);
}

void JsonText::number(long value) {
  separate();
  if (value >= 0 && value < 1000) {
    // Most numbers of a message's JSON, its field numbers and lengths.
    out_->zero_filled_decimal(static_cast<int>(value), 1);
    return;
  }
  char digits[24];
  const char* end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  out_->write(digits, static_cast<size_t>(end - digits));
}

void JsonText::boolean(bool value) {
  separate();
  out_->write(value ? std::string_view("true") : std::string_view("false"));
}

std::string json_quoted(std::string_view utf8) {
  rapidjson::StringBuffer escaped;
  rapidjson::Writer<rapidjson::StringBuffer> writer(escaped);
  writer.String(utf8.data(), static_cast<rapidjson::SizeType>(utf8.size()));
  return std::string(escaped.GetString(), escaped.GetSize());
}

void JsonText::string(std::string_view utf8) {
  if (is_plain(utf8, false)) {
    utf8.copy(unescaped_string(utf8.size()), utf8.size());
  } else {
    json_string(json_quoted(utf8));
  }
}

void JsonText::json_string(std::string_view quoted) {
  separate();
  out_->write(quoted);
}
