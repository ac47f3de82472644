// Writing a dialect out with every property.
#include "decode/dialect_text.h"

#include "decode/dialect_properties.h"
#include "decode/hex_text.h"

namespace {

void append_property(Setting setting, int code, std::string* text) {
  *text += ' ';
  *text += setting_name(setting);
  *text += '=';
  const char* word = value_word(setting, code);
  *text += word != nullptr ? std::string(word) : std::to_string(code);
}

void append_encoding(const FieldFormat& format, std::string* text) {
  append_property(Setting::kLength, static_cast<int>(format.length), text);
  append_property(Setting::kData, static_cast<int>(format.data), text);
  append_property(Setting::kUnit, static_cast<int>(format.unit), text);
  append_property(Setting::kAlign, format.left_aligned ? 1 : 0, text);
  append_property(Setting::kPad, format.pad, text);
  append_property(Setting::kMask, static_cast<int>(format.card_data), text);
}

// The separator as a property value: the character itself where a word can
// hold it, else 0x and its hexadecimal digits.
std::string separator_word(unsigned char separator) {
  if (separator > ' ' && separator < 0x7F && separator != '|' && separator != '#') {
    return std::string(1, static_cast<char>(separator));
  }
  char hex[2];
  render_hex(&separator, 1, hex);
  return std::string("0x") + hex[0] + hex[1];
}

void append_layout(const Layout& layout, std::string* text) {
  append_property(Setting::kLayout, static_cast<int>(layout.kind), text);
  switch (layout.kind) {
    case LayoutKind::kPositional:
      if (layout.repeat_from > 0) append_property(Setting::kRepeat, layout.repeat_from, text);
      break;
    case LayoutKind::kTagged:
      append_property(Setting::kTag, coding_code(static_cast<int>(layout.tag.kind), layout.tag.count), text);
      append_property(Setting::kTagLength,
                      coding_code(static_cast<int>(layout.tag_length.kind), layout.tag_length.count), text);
      if (layout.prefix > 0) append_property(Setting::kPrefix, layout.prefix, text);
      break;
    case LayoutKind::kBitmap:
      append_property(Setting::kMap, static_cast<int>(layout.map), text);
      append_property(Setting::kMapBytes, layout.map_bytes, text);
      append_property(Setting::kMapBit1, layout.map_secondary ? 1 : 0, text);
      break;
    case LayoutKind::kTlv:
      append_property(Setting::kValues, layout.text_values ? 1 : 0, text);
      break;
    case LayoutKind::kDelimited:
      *text += std::string(" ") + setting_name(Setting::kSeparator) + "=" + separator_word(layout.separator);
      if (layout.delimited >= 0) append_property(Setting::kDelimited, layout.delimited, text);
      break;
  }
}

// The lines of the parts of `layout`, and of their parts, in order.
void append_parts(const Dialect& dialect, const Layout& layout, std::string* text) {
  for (const PartDef& part : layout.parts) {
    *text += layout.id + "." + part.key + "|" +
             (part.length == kRestOfData ? std::string("*") : std::to_string(part.length)) + "|" +
             std::to_string(part.length_digits);
    if (layout.in_digits) {
      append_property(Setting::kMask, static_cast<int>(part.format.card_data), text);
    } else {
      append_encoding(part.format, text);
    }
    if (part.layout >= 0) append_layout(dialect.layouts[part.layout], text);
    if (!part.name.empty()) *text += "  # " + part.name;
    *text += '\n';
    if (part.layout >= 0) append_parts(dialect, dialect.layouts[part.layout], text);
  }
}

}  // namespace

void write_dialect(const Dialect& dialect, std::string* text) {
  const MessageFormat& message = dialect.message;
  *text += "# The message: the bytes before the type indicator, and the bitmap.\n";
  std::string line;
  append_property(Setting::kHeader, message.header_length, &line);
  append_property(Setting::kBitmap, static_cast<int>(message.bitmap), &line);
  append_property(Setting::kSecondary, message.secondary_when_flagged ? 1 : 0, &line);
  append_property(Setting::kEbcdic, static_cast<int>(message.code_page), &line);
  *text += line.substr(1) + "\n";
  *text += "# The fields: number | max length | length digits, and their properties; the parts\n"
           "# of composite fields after them: id | length | length digits, and theirs.\n";
  for (int number = 1; number < kFieldRows; ++number) {
    const FieldDef& def = dialect.defs[number];
    if (def.number != number) continue;
    *text += std::to_string(number) + "|" + std::to_string(def.max_length) + "|" +
             std::to_string(def.length_digits);
    append_encoding(def.format, text);
    if (def.layout >= 0) append_layout(dialect.layouts[def.layout], text);
    if (!dialect.names[number].empty()) *text += "  # " + dialect.names[number];
    *text += '\n';
    if (def.layout >= 0) append_parts(dialect, dialect.layouts[def.layout], text);
  }
}
