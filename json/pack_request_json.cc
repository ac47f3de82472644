// A message to pack, read with RapidJSON.
#include "json/pack_request_json.h"

#include "decode/hex_text.h"
#include "encoding/cp936_to_utf8.h"
#include "rapidjson/document.h"
#include "rapidjson/error/en.h"

namespace {

using Allocator = rapidjson::MemoryPoolAllocator<>;
using Document = rapidjson::GenericDocument<rapidjson::UTF8<>, Allocator>;
using Value = rapidjson::GenericValue<rapidjson::UTF8<>, Allocator>;

// Whether `ch` is a blank that people put between hexadecimal digits, as
// in the messages they paste.
bool is_blank(char ch) { return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n'; }

// Converts hexadecimal text, blanks ignored, to bytes; writes why it
// cannot into `error`.
bool bytes_of_hex(const Value& hex, std::string* bytes, std::string* error) {
  const char* digits = hex.GetString();
  const size_t count = hex.GetStringLength();
  bytes->resize((count + 1) / 2);
  size_t nibbles = 0;
  for (size_t k = 0; k < count; ++k) {
    // Two digits side by side at a byte's start make the byte at once, as
    // in nearly every value; blanks and faults go digit by digit.
    if (nibbles % 2 == 0 && k + 1 < count) {
      const int high = hex_digit_value(digits[k]);
      const int low = hex_digit_value(digits[k + 1]);
      if ((high | low) >= 0) {
        (*bytes)[nibbles / 2] = static_cast<char>(high << 4 | low);
        nibbles += 2;
        ++k;
        continue;
      }
    }
    const int nibble = hex_digit_value(digits[k]);
    if (nibble < 0) {
      if (is_blank(digits[k])) continue;
      *error = digits[k] == '*' ? "masked ('*' in hex): masked card data cannot be packed"
                                : "not a hexadecimal digit in hex";
      return false;
    }
    char& byte = (*bytes)[nibbles / 2];
    byte = static_cast<char>(nibbles % 2 == 0 ? nibble << 4 : byte | nibble);
    ++nibbles;
  }
  if (nibbles % 2 != 0) {
    *error = "hex has an odd number of digits";
    return false;
  }
  bytes->resize(nibbles / 2);
  return true;
}

// The bytes of a "hex" or, failing that, the text of a "text" member of
// `object`.
bool value_of_member(const Value& object, const char* hex_key, const char* text_key,
                     PackValue* value, std::string* error) {
  std::string* bytes = &value->bytes;
  value->is_text = false;
  const auto hex = object.FindMember(hex_key);
  if (hex != object.MemberEnd()) {
    if (!hex->value.IsString()) {
      *error = std::string("\"") + hex_key + "\" is not a string";
      return false;
    }
    return bytes_of_hex(hex->value, bytes, error);
  }
  const auto text = object.FindMember(text_key);
  if (text == object.MemberEnd()) {
    *error = std::string("needs \"") + hex_key + "\" or \"" + text_key + "\"";
    return false;
  }
  bytes->clear();
  value->is_text = true;
  if (!text->value.IsString() ||
      !append_utf8_as_cp936(std::string_view(text->value.GetString(), text->value.GetStringLength()),
                            bytes)) {
    *error = std::string("\"") + text_key + "\" is not text that code page 936 can hold";
    return false;
  }
  return true;
}

// The deepest nesting of "sub" lists read: the deepest layouts, and chip
// data templates inside them.
constexpr int kMaxSubDepth = 12;

bool read_value(const Value& object, bool is_part, int depth, PackValue* value, std::string* error);

// Reads the "sub" list of parts into `parts`, nested at `depth`.
bool read_parts(const Value& list, int depth, std::vector<PackPart>* parts, std::string* error) {
  if (!list.IsArray()) {
    *error = "\"sub\" is not an array";
    return false;
  }
  if (depth > kMaxSubDepth) {
    *error = "\"sub\" nested more than " + std::to_string(kMaxSubDepth) + " deep";
    return false;
  }
  for (const Value& entry : list.GetArray()) {
    const auto id = entry.IsObject() ? entry.FindMember("id") : entry.MemberEnd();
    if (!entry.IsObject() || id == entry.MemberEnd() || !id->value.IsString()) {
      *error = "a sub-field without its \"id\"";
      return false;
    }
    PackPart part;
    part.id.assign(id->value.GetString(), id->value.GetStringLength());
    std::string reason;
    if (!read_value(entry, true, depth, &part.value, &reason)) {
      *error = part.id + ": " + reason;
      return false;
    }
    parts->push_back(std::move(part));
  }
  return true;
}

// Reads the value of a field or a part: "hex", else "text", else its
// "sub" list; "length" where given. A part's "hex" is kept as written.
bool read_value(const Value& object, bool is_part, int depth, PackValue* value, std::string* error) {
  const bool has_bytes = object.HasMember("hex") || object.HasMember("text");
  const auto parts = object.FindMember("sub");
  if (!has_bytes && parts != object.MemberEnd()) {
    value->from_parts = true;
    if (!read_parts(parts->value, depth + 1, &value->parts, error)) return false;
  } else if (is_part && object.HasMember("hex")) {
    const Value& hex = object["hex"];
    if (!hex.IsString()) {
      *error = "\"hex\" is not a string";
      return false;
    }
    value->is_hex = true;
    for (const char* ch = hex.GetString(); ch != hex.GetString() + hex.GetStringLength(); ++ch) {
      if (!is_blank(*ch)) value->bytes.push_back(*ch);
    }
  } else if (!value_of_member(object, "hex", "text", value, error)) {
    return false;
  }
  const auto length = object.FindMember("length");
  if (length != object.MemberEnd()) {
    if (!length->value.IsInt() || length->value.GetInt() < 0) {
      *error = "\"length\" is not a count";
      return false;
    }
    value->length = length->value.GetInt();
  }
  return true;
}

bool read_fields(const Value& fields, PackRequest* request, std::string* error) {
  if (!fields.IsArray()) {
    *error = "\"fields\" is not an array";
    return false;
  }
  for (const Value& field : fields.GetArray()) {
    if (!field.IsObject()) {
      *error = "a field that is not an object";
      return false;
    }
    const auto number = field.FindMember("field");
    if (number == field.MemberEnd()) {
      *error = "a field without its number (\"field\")";
      return false;
    }
    if (!number->value.IsInt()) {
      *error = "a field number (\"field\") must be a whole number from 2 to 128, without quotes";
      return false;
    }
    PackField packed;
    packed.number = number->value.GetInt();
    std::string reason;
    if (!read_value(field, false, 0, &packed.value, &reason)) {
      *error = "field " + std::to_string(packed.number) + ": " + reason;
      return false;
    }
    request->fields.push_back(std::move(packed));
  }
  return true;
}

}  // namespace

bool read_pack_request(std::string* line, PackRequest* request, std::string* error) {
  *request = PackRequest();
  // Most lines parse within this room; larger ones take more from the heap.
  char room[32768];
  Allocator allocator(room, sizeof room);
  Document document(&allocator);
  // Strings are not checked for UTF-8 here: "text" values are when they are
  // converted, and the other strings read must be hexadecimal.
  document.ParseInsitu(&(*line)[0]);
  if (document.HasParseError()) {
    *error = std::string("malformed JSON: ") + rapidjson::GetParseError_En(document.GetParseError()) +
             " (at character " + std::to_string(document.GetErrorOffset() + 1) + ")";
    return false;
  }
  if (!document.IsObject()) {
    *error = "not a JSON object";
    return false;
  }
  const auto masked = document.FindMember("masked");
  if (masked != document.MemberEnd() && masked->value.IsTrue()) {
    *error = "masked card data cannot be packed";
    return false;
  }
  if (document.HasMember("error")) {
    *error = "no message here: it was rejected";
    return false;
  }
  std::string reason;
  const auto header = document.FindMember("header");
  if (header != document.MemberEnd() &&
      (!header->value.IsString() || !bytes_of_hex(header->value, &request->header, &reason))) {
    *error = "header: " + (reason.empty() ? std::string("not a string") : reason);
    return false;
  }
  if ((document.HasMember("mti_hex") || document.HasMember("mti")) &&
      !value_of_member(document, "mti_hex", "mti", &request->type_indicator, &reason)) {
    *error = "mti: " + reason;
    return false;
  }
  const auto bitmap = document.FindMember("bitmap");
  if (bitmap != document.MemberEnd()) {
    std::string bytes;
    if (!bitmap->value.IsString() || !bytes_of_hex(bitmap->value, &bytes, &reason) ||
        bytes.empty()) {
      *error = "bitmap: " + (reason.empty() ? std::string("not hexadecimal bytes") : reason);
      return false;
    }
    request->has_bit1 = true;
    request->bit1 = (static_cast<unsigned char>(bytes[0]) & 0x80) != 0;
  }
  const auto fields = document.FindMember("fields");
  return fields == document.MemberEnd() || read_fields(fields->value, request, error);
}
