// Writing JSON text.
#include "json/json_text.h"

#include "encoding/byte_scan.h"
#include "rapidjson/stringbuffer.h"
#include "rapidjson/writer.h"

void JsonText::start(std::string* text) {
  out_.emplace(text, &room_);
  comma_due_ = false;
}

void JsonText::finish() { out_.reset(); }

void JsonText::boolean(bool value) {
  if (value) {
    std::memcpy(separated(4), "true", 4);
  } else {
    std::memcpy(separated(5), "false", 5);
  }
  comma_due_ = true;
}

std::string json_quoted(std::string_view utf8) {
  rapidjson::StringBuffer escaped;
  rapidjson::Writer<rapidjson::StringBuffer> writer(escaped);
  writer.String(utf8.data(), static_cast<rapidjson::SizeType>(utf8.size()));
  return std::string(escaped.GetString(), escaped.GetSize());
}

std::string_view json_string_body(std::string_view utf8, std::string* escaped) {
  if (is_plain_json_text(utf8)) return utf8;
  *escaped = json_quoted(utf8);
  return std::string_view(*escaped).substr(1, escaped->size() - 2);
}

void JsonText::string(std::string_view utf8) {
  std::string escaped;  // for the rare text that needs escaping
  const std::string_view body = json_string_body(utf8, &escaped);
  body.copy(unescaped_string(body.size()), body.size());
}
