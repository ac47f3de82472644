// The JSON of a decoded message.
#include "json/message_json.h"

#include <string>
#include <type_traits>
#include <vector>

#include "decode/hex_text.h"
#include "decode/tag_names.h"
#include "encoding/byte_scan.h"
#include "encoding/cp936_to_utf8.h"
#include "explain/chip_data_tree.h"
#include "explain/field_name_text.h"
#include "fields/field_meaning.h"

namespace {

// Room for the object of a field besides its digits, text and name: its
// keys, brackets and three numbers.
constexpr size_t kFieldObjectRoom = 128;

// Room for the object of a field 55 element besides its value's digits
// and its name: its keys, brackets, tag and length.
constexpr size_t kElementObjectRoom = 96;

// Writes the members every field 55 element has, "tag", "length" and
// "value", at `out`; returns the end.
char* put_element_members(char* out, const DecodedField& field55, const TlvElement& element) {
  out = put(out, "\"tag\":\"");
  render_hex(element.tag, static_cast<size_t>(element.tag_length), out);
  out = put(out + 2 * element.tag_length, "\",\"length\":");
  out = put_decimal(out, element.value_length);
  out = put(out, ",\"value\":\"");
  render_shown_hex(field55, element.value_offset, element.value_length, out);
  out += 2 * static_cast<size_t>(element.value_length);
  *out++ = '"';
  return out;
}

// The room the members of `element` take, besides its value's digits.
size_t element_room(const TlvElement& element) {
  return kElementObjectRoom + 2 * static_cast<size_t>(element.value_length);
}

}  // namespace

// The objects of fields and chip data elements, the most written, go to
// JSON text whole, each into room made once; to a record, key by key. The
// tests read every sample's record back as its JSON text.
template <class Sink>
struct BasicMessageJson<Sink>::Writer {
  explicit Writer(bool explain_values) : explain(explain_values) {}

  static constexpr bool kWritesText = std::is_same_v<Sink, JsonText>;

  bool explain;
  FieldMeaning field_meaning;
  std::vector<ExplainedElement> tree;
  Sink json;
  std::string* text = nullptr;  // what the object is appended to
  size_t start = 0;             // where it starts there
  std::string scratch;  // converted texts, reused
  std::string escaped;  // escaped texts, reused
  std::string shown;    // a field's bytes as shown

  template <size_t kSize>
  void key(const char (&name)[kSize]) {
    json.key(name);
  }
  void key(std::string_view name) { json.key(name); }
  void string(std::string_view utf8) { json.string(utf8); }
  void json_string(const std::string& quoted) { json.json_string(quoted); }

  // Writes `text`, which needs no escaping, as a string.
  void unescaped_string(std::string_view text) {
    text.copy(json.unescaped_string(text.size()), text.size());
  }

  // The name of field `number` from the definition file as a JSON string,
  // or empty when it has none. Names are made once for each reading of the
  // definitions, as they are written for every field of every message.
  const std::string& field_name(int number) {
    if (names_dialect != message->dialect->id) {
      names_dialect = message->dialect->id;
      for (int row = 0; row < kFieldRows; ++row) {
        const std::string& name = name_texts.name(*message->dialect, row);
        field_names_json[row] = name.empty() ? std::string() : json_quoted(name);
      }
    }
    return field_names_json[number];
  }

  // The report's name of the tag of `element` as a JSON string.
  static const std::string& report_tag_name(const TlvElement& element) {
    static const std::vector<std::string> kNames = [] {
      std::vector<std::string> names(kTagNameRows);
      for (int row = 0; row < kTagNameRows; ++row) {
        std::string utf8;
        append_cp936_as_utf8(report_tag_names[row].name, &utf8);
        names[row] = json_quoted(utf8);
      }
      return names;
    }();
    return kNames[tag_name_row(element)];
  }

  FieldNameTexts name_texts;
  std::string field_names_json[kFieldRows];
  unsigned names_dialect = 0;

  // The hexadecimal text of `count` bytes of `field` from `position`.
  void hex(const DecodedField& field, int position, int count) {
    render_shown_hex(field, position, count, json.unescaped_string(2 * static_cast<size_t>(count)));
  }

  // `cp936` as a UTF-8 string value.
  void cp936_string(std::string_view cp936) {
    if (is_visible_ascii(cp936)) {  // the same bytes in UTF-8
      string(cp936);
      return;
    }
    scratch.clear();
    append_cp936_as_utf8(cp936, &scratch);
    string(scratch);
  }

  // Sets `body` to what stands between the quotes of the "text" of a
  // field whose shown value is `bytes` as JSON text, and returns true;
  // false when `bytes` are not printable code page 936 text.
  bool text_body(std::string_view bytes, std::string_view* body) {
    if (is_plain_json_ascii(bytes)) {
      *body = bytes;
      return true;
    }
    if (!is_printable_cp936(bytes)) return false;
    scratch.clear();
    append_cp936_as_utf8(bytes, &scratch);
    *body = json_string_body(scratch, &escaped);
    return true;
  }

  // Opens the object of `field` with its members from "field" to "name":
  // in JSON text written whole, into room made once; else key by key.
  void begin_field(const DecodedField& field) {
    if constexpr (kWritesText) {
      std::string_view text;
      const bool has_text = text_body(shown_value(field, &shown), &text);
      const std::string& name = field_name(field.number);
      const size_t digits = 2 * static_cast<size_t>(field.length);
      char* out = json.room_for_written(kFieldObjectRoom + digits + text.size() + name.size());
      out = put(out, "{\"field\":");
      out = put_decimal(out, field.number);
      out = put(out, ",\"length\":");
      out = put_decimal(out, field.unit_length);
      out = put(out, ",\"bytes\":");
      out = put_decimal(out, field.length);
      out = put(out, ",\"hex\":\"");
      render_shown_hex(field, 0, field.length, out);
      out += digits;
      *out++ = '"';
      if (has_text) {
        out = put(out, ",\"text\":\"");
        out = put(out, text);
        *out++ = '"';
      }
      if (!name.empty()) {
        out = put(out, ",\"name\":");
        out = put(out, name);
      }
      json.end_written(out);
    } else {
      json.begin_object();
      key("field");
      json.number(field.number);
      key("length");
      json.number(field.unit_length);
      key("bytes");
      json.number(field.length);
      key("hex");
      hex(field, 0, field.length);
      const std::string_view bytes = shown_value(field, &shown);
      if (is_plain_json_ascii(bytes)) {
        key("text");
        unescaped_string(bytes);
      } else if (is_printable_cp936(bytes)) {
        key("text");
        cp936_string(bytes);
      }
      const std::string& name = field_name(field.number);
      if (!name.empty()) {
        key("name");
        json_string(name);
      }
    }
  }

  void field(const DecodedField& field) {
    begin_field(field);
    if (explain && explain_value(field)) meaning(field_meaning);
    if (field.part_count > 0) {
      key("sub");
      parts(static_cast<size_t>(field.first_part), static_cast<size_t>(field.part_count));
    }
    if (field.misfit >= 0) misfit(message->misfits[static_cast<size_t>(field.misfit)]);
    json.end_object();
  }

  // The list of the `count` parts from `first`: each followed by those
  // inside it, which go into its own "sub".
  void parts(size_t first, size_t count) {
    json.begin_array();
    for (size_t at = first; at < first + count;) {
      const DecodedPart& part = message->parts[at];
      json.begin_object();
      part_keys(part);
      if (part.descendants > 0) {
        key("sub");
        parts(at + 1, static_cast<size_t>(part.descendants));
      }
      json.end_object();
      at += 1 + static_cast<size_t>(part.descendants);
    }
    json.end_array();
  }

  // The keys of `part` but for the parts inside it: "id", "length", "hex",
  // and "text" and "name" when it has them.
  void part_keys(const DecodedPart& part) {
    key("id");
    unescaped_string(part_id(part));
    key("length");
    json.number(part.unit_length);
    key("hex");
    const size_t digits = part.in_digits ? static_cast<size_t>(part.length) : 2 * static_cast<size_t>(part.length);
    render_shown_hex(part, json.unescaped_string(digits));
    const std::string_view value = shown_value(part, &shown);
    if (is_plain_json_ascii(value)) {
      key("text");
      unescaped_string(value);
    } else if (is_printable_cp936(value)) {
      key("text");
      cp936_string(value);
    }
    if (part.def != nullptr && !part.def->name.empty()) {
      key("name");
      scratch.clear();
      append_text_as_utf8(part.def->name, &scratch);
      string(scratch);
    }
  }

  // "sub_error": where and why a field's data does not fit its layout.
  void misfit(const PartMisfit& misfit) {
    key("sub_error");
    json.begin_object();
    key("field");
    json.number(misfit.field);
    key("sub");
    string(misfit.sub);
    key("offset");
    json.number(misfit.offset);
    key("reason");
    string(misfit.reason);
    json.end_object();
  }

  // Fills field_meaning with what `field` of `message` means, the type
  // indicator's or a data element's; false when it has no meaning.
  bool explain_value(const DecodedField& field) {
    return &field == &message->type_indicator ? explain_type_indicator(*message, &field_meaning)
                                              : explain_field(*message, field, &field_meaning);
  }

  void meaning(const FieldMeaning& field) {
    key("meaning");
    string(field.meaning);
    if (field.amount.empty()) return;
    key("amount");
    string(field.amount);
    key("currency");
    string(field.currency);
  }

  // Bytes of their own, such as a tag or the bitmap, as hexadecimal text.
  void hex(const unsigned char* bytes, size_t count) {
    render_hex(bytes, count, json.unescaped_string(2 * count));
  }

  // Writes the element at `tree[row]` and those inside it; returns the row
  // after them.
  size_t explained_element(const DecodedField& field55, size_t row) {
    const ExplainedElement& explained = tree[row];
    json.begin_object();
    explained_keys(field55, explained);
    ++row;
    if (explained.child_count > 0) {
      key("children");
      json.begin_array();
      for (int child = 0; child < explained.child_count; ++child) row = explained_element(field55, row);
      json.end_array();
    }
    json.end_object();
    return row;
  }

  // Writes the keys of `explained` but for the elements inside it.
  void explained_keys(const DecodedField& field55, const ExplainedElement& explained) {
    const TlvElement& element = explained.element;
    element_keys(field55, element);
    key("name");
    if (explained.tag != nullptr) {
      string(explained.tag->chinese());
      key("name_en");
      string(explained.tag->english());
    } else {
      json_string(report_tag_name(element));
    }
    if (explained.has_meaning) {
      const EmvMeaning& meaning = explained.meaning;
      if (!meaning.meaning.empty()) {
        key("meaning");
        string(meaning.meaning);
      }
      if (!meaning.details.empty()) {
        key("details");
        json.begin_array();
        for (const std::string& detail : meaning.details) string(detail);
        json.end_array();
      }
      if (!meaning.bits.empty()) {
        key("bits");
        json.begin_array();
        for (const BitMeaning& bit : meaning.bits) {
          json.begin_object();
          key("byte");
          json.number(bit.byte);
          key("bit");
          json.number(bit.bit);
          key("meaning");
          string(bit.words());
          json.end_object();
        }
        json.end_array();
      }
    }
  }

  const DecodedMessage* message = nullptr;

  // The keys every field 55 element has: "tag", "length" and "value".
  void element_keys(const DecodedField& field55, const TlvElement& element) {
    if constexpr (kWritesText) {
      json.end_written(put_element_members(json.room_for_written(element_room(element)), field55,
                                           element));
    } else {
      key("tag");
      hex(element.tag, static_cast<size_t>(element.tag_length));
      key("length");
      json.number(element.value_length);
      key("value");
      hex(field55, element.value_offset, element.value_length);
    }
  }

  void element(const DecodedField& field55, const TlvElement& element) {
    const std::string& name = report_tag_name(element);
    if constexpr (kWritesText) {
      char* out = json.room_for_written(element_room(element) + name.size());
      *out++ = '{';
      out = put_element_members(out, field55, element);
      out = put(put(out, ",\"name\":"), name);
      *out++ = '}';
      json.end_written(out);
    } else {
      json.begin_object();
      element_keys(field55, element);
      key("name");
      json_string(name);
      json.end_object();
    }
  }
};

template <class Sink>
BasicMessageJson<Sink>::BasicMessageJson(bool explain) : writer_(new Writer(explain)) {}

template <class Sink>
BasicMessageJson<Sink>::~BasicMessageJson() = default;

template <class Sink>
void BasicMessageJson<Sink>::begin(std::string* text) {
  writer_->text = text;
  writer_->start = text->size();
  writer_->json.start(text);
  writer_->json.begin_object();
}

template <class Sink>
void BasicMessageJson<Sink>::add(const char* key, long value) {
  writer_->key(key);
  writer_->json.number(value);
}

template <class Sink>
void BasicMessageJson<Sink>::add(const char* key, std::string_view utf8_text) {
  writer_->key(key);
  writer_->string(utf8_text);
}

template <class Sink>
void BasicMessageJson<Sink>::add_flag(const char* key) {
  add_boolean(key, true);
}

template <class Sink>
void BasicMessageJson<Sink>::add_boolean(const char* key, bool value) {
  writer_->key(key);
  writer_->json.boolean(value);
}

template <class Sink>
void BasicMessageJson<Sink>::begin_list(const char* key) {
  writer_->key(key);
  writer_->json.begin_array();
}

template <class Sink>
void BasicMessageJson<Sink>::end_list() { writer_->json.end_array(); }

template <class Sink>
void BasicMessageJson<Sink>::begin_item() { writer_->json.begin_object(); }

template <class Sink>
void BasicMessageJson<Sink>::begin_object(const char* key) {
  writer_->key(key);
  writer_->json.begin_object();
}

template <class Sink>
void BasicMessageJson<Sink>::end_object() { writer_->json.end_object(); }

template <class Sink>
void BasicMessageJson<Sink>::add_hex(const char* key, const unsigned char* bytes, size_t count) {
  writer_->key(key);
  writer_->hex(bytes, count);
}

template <class Sink>
void BasicMessageJson<Sink>::add_field(const char* key, const DecodedMessage& message,
                            const DecodedField& field) {
  writer_->message = &message;
  writer_->key(key);
  writer_->field(field);
}

template <class Sink>
void BasicMessageJson<Sink>::add_part(const char* key, const DecodedPart& part) {
  writer_->key(key);
  writer_->json.begin_object();
  writer_->part_keys(part);
  writer_->json.end_object();
}

template <class Sink>
void BasicMessageJson<Sink>::add_chip_element(const char* key, const DecodedField& field55,
                                   const ExplainedElement& element) {
  writer_->key(key);
  writer_->json.begin_object();
  writer_->explained_keys(field55, element);
  writer_->json.end_object();
}

template <class Sink>
void BasicMessageJson<Sink>::add_decoded(const DecodedMessage& message) {
  Writer& w = *writer_;
  w.message = &message;
  if (message.header_length > 0) {
    w.key("header");
    w.hex(message.header, static_cast<size_t>(message.header_length));
  }
  const DecodedField& indicator = message.type_indicator;
  const std::string_view indicator_bytes = shown_value(indicator, &w.shown);
  if (is_printable_cp936(indicator_bytes)) {
    w.key("mti");
    w.cp936_string(indicator_bytes);
  }
  w.key("mti_hex");
  w.hex(indicator, 0, indicator.length);
  if (w.explain && explain_type_indicator(message, &w.field_meaning)) {
    w.key("mti_meaning");
    w.string(w.field_meaning.meaning);
  }
  w.key("bitmap");
  w.hex(message.bitmap, static_cast<size_t>(message.bitmap_length));
  w.key("fields");
  w.json.begin_array();
  for (const DecodedField& field : message.fields) w.field(field);
  w.json.end_array();
  w.key("result");
  w.string(unpack_result_name(message.verdict.result));
  switch (message.verdict.result) {
    case UnpackResult::kUnpacked:
      break;
    case UnpackResult::kTooShort:
    case UnpackResult::kHeaderTooLong:
      w.key("needed");
      w.json.number(message.verdict.needed);
      w.key("available");
      w.json.number(message.verdict.available);
      break;
    case UnpackResult::kBitmapNotHex:
      break;
    default:
      w.key("field");
      w.json.number(message.verdict.field);
      break;
  }
  if (const DecodedField* field55 = message.find(55)) {
    w.key("field55");
    w.json.begin_array();
    if (w.explain) {
      explain_chip_data(*field55, message.field55, &w.tree);
      for (size_t row = 0; row < w.tree.size();) row = w.explained_element(*field55, row);
    } else {
      for (const TlvElement& element : message.field55) w.element(*field55, element);
    }
    w.json.end_array();
  }
}

template <class Sink>
std::string_view BasicMessageJson<Sink>::end() {
  writer_->json.end_object();
  writer_->json.finish();
  return std::string_view(*writer_->text).substr(writer_->start);
}

template class BasicMessageJson<JsonText>;
template class BasicMessageJson<JsonRecord>;
