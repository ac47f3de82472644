// JSON text written at the end of a string: the structure (braces,
// brackets, commas and colons) and numbers directly, strings as they are
// when nothing in them needs escaping, and through RapidJSON's writer when
// something does. Writing straight into room of its own, kept from one
// object to the next, keeps the many short values of a message's JSON
// cheap; a caller that knows the shape of a value writes it whole.
#ifndef JSON_JSON_TEXT_H_
#define JSON_JSON_TEXT_H_

#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "decode/report.h"

// `utf8` as a JSON string, quoted and escaped by RapidJSON.
std::string json_quoted(std::string_view utf8);

// What stands between the quotes of `utf8` as a JSON string: `utf8`
// itself when nothing in it needs escaping, else its escaped form, kept
// in `escaped`.
std::string_view json_string_body(std::string_view utf8, std::string* escaped);

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
    char* room = separated(name.size() + 3);
    room[0] = '"';
    name.copy(room + 1, name.size());
    room[name.size() + 1] = '"';
    room[name.size() + 2] = ':';
    comma_due_ = false;
  }

  // The same for a key written as a string literal, copied without a call.
  template <size_t kSize>
  void key(const char (&name)[kSize]) {
    char* room = separated(kSize - 1 + 3);
    room[0] = '"';
    std::memcpy(room + 1, name, kSize - 1);
    room[kSize] = '"';
    room[kSize + 1] = ':';
    comma_due_ = false;
  }

  void number(long value) {
    char* room = out_->room_for(kDecimalRoom + 1);
    if (comma_due_) *room++ = ',';
    out_->end_at(put_decimal(room, value));
    comma_due_ = true;
  }

  void boolean(bool value);

  // A UTF-8 text as a string value, escaped where JSON needs it.
  void string(std::string_view utf8);

  // Makes room for a string value of `length` characters that need no
  // escaping, such as hexadecimal text, and returns where they go.
  char* unescaped_string(size_t length) {
    char* room = separated(length + 2);
    room[0] = '"';
    room[length + 1] = '"';
    comma_due_ = true;
    return room + 1;
  }

  // A string value already in JSON form, with its quotes and escapes.
  void json_string(std::string_view quoted) {
    char* room = separated(quoted.size());
    quoted.copy(room, quoted.size());
    comma_due_ = true;
  }

  // For a caller that writes JSON text itself: makes room for `length`
  // bytes after the comma due before a value, if any, and returns where
  // they go. end_written() then says where the caller stopped, after a
  // value or after the members of an object it opened and left open.
  char* room_for_written(size_t length) {
    char* room = out_->room_for(length + 1);
    if (comma_due_) *room++ = ',';
    return room;
  }
  void end_written(char* end) {
    out_->end_at(end);
    comma_due_ = true;
  }

 private:
  // Makes room for `length` bytes after the comma due, if any, counting
  // them as written, and returns where they go.
  char* separated(size_t length) {
    char* room = room_for_written(length);
    out_->end_at(room + length);
    return room;
  }
  void open(char bracket) {
    *separated(1) = bracket;
    comma_due_ = false;
  }
  void close(char bracket) {
    out_->write(bracket);
    comma_due_ = true;
  }

  WriterRoom room_;  // kept from one object to the next
  std::optional<ReportWriter> out_;
  // Whether a comma goes before the next value or key: after a value or
  // a closing bracket, not after a key or an opening bracket.
  bool comma_due_ = false;
};

#endif  // JSON_JSON_TEXT_H_
