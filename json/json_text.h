// JSON text written at the end of a string: the structure (braces,
// brackets, commas and colons) and numbers directly, strings as they are
// when nothing in them needs escaping, and through RapidJSON's writer when
// something does. Writing straight into the text keeps the many short
// values of a message's JSON cheap.
#ifndef JSON_JSON_TEXT_H_
#define JSON_JSON_TEXT_H_

#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "decode/report.h"

// Whether `bytes` are printable ASCII that a JSON string holds as they
// are: no control character, no byte from 0x7F up, no quote or backslash.
bool is_plain_ascii(std::string_view bytes);

// `utf8` as a JSON string, quoted and escaped by RapidJSON.
std::string json_quoted(std::string_view utf8);

class JsonText {
 public:
  // Starts writing at the end of `text`.
  void start(std::string* text);
  // Ends writing: `text` then holds exactly what was written.
  void finish();

  void begin_object() { open('{'); }
  void end_object() { close('}'); }
  void begin_array() { open('['); }
  void end_array() { close(']'); }

  // A key of the object being written; keys need no escaping. Written with
  // the comma before it and the colon after it in one piece, as every value
  // of an object has one.
  void key(std::string_view name) {
    const bool comma = needs_comma();
    char* room = out_->claim(name.size() + 3 + comma);
    if (comma) *room++ = ',';
    room[0] = '"';
    name.copy(room + 1, name.size());
    room[name.size() + 1] = '"';
    room[name.size() + 2] = ':';
    after_key_ = true;
  }

  // The same for a key written as a string literal, copied without a call.
  template <size_t kSize>
  void key(const char (&name)[kSize]) {
    const bool comma = needs_comma();
    char* room = out_->claim(kSize - 1 + 3 + comma);
    if (comma) *room++ = ',';
    room[0] = '"';
    std::memcpy(room + 1, name, kSize - 1);
    room[kSize] = '"';
    room[kSize + 1] = ':';
    after_key_ = true;
  }

  void number(long value);
  void boolean(bool value);

  // A UTF-8 text as a string value, escaped where JSON needs it.
  void string(std::string_view utf8);

  // Makes room for a string value of `length` characters that need no
  // escaping, such as hexadecimal text, and returns where they go.
  char* unescaped_string(size_t length) {
    const bool comma = needs_comma();
    char* room = out_->claim(length + 2 + comma);
    if (comma) *room++ = ',';
    room[0] = '"';
    room[length + 1] = '"';
    return room + 1;
  }

  // A string value already in JSON form, with its quotes and escapes.
  void json_string(std::string_view quoted);

 private:
  // The deepest nesting of objects and arrays; a message's JSON needs about
  // twenty, with templates inside templates.
  static constexpr int kMaxDepth = 64;

  // Writes the comma before a value, unless it is the first of its object
  // or array or follows its key.
  void separate();
  // Whether a comma goes before the next value; counts the value.
  bool needs_comma() {
    if (after_key_) {
      after_key_ = false;
      return false;
    }
    if (depth_ == 0) return false;
    const bool comma = has_values_[depth_ - 1];
    has_values_[depth_ - 1] = true;
    return comma;
  }
  void open(char bracket);
  void close(char bracket);

  std::optional<ReportWriter> out_;
  bool has_values_[kMaxDepth] = {};
  int depth_ = 0;
  bool after_key_ = false;
};

#endif  // JSON_JSON_TEXT_H_
