// Writing a dialect out with every property.
#include "decode/dialect_text.h"

#include "decode/dialect_properties.h"

namespace {

void append_property(Setting setting, int code, std::string* text) {
  *text += ' ';
  *text += setting_name(setting);
  *text += '=';
  const char* word = value_word(setting, code);
  *text += word != nullptr ? std::string(word) : std::to_string(code);
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
  *text += "# The fields: number | max length | length digits, and their properties.\n";
  for (int number = 1; number < kFieldRows; ++number) {
    const FieldDef& def = dialect.defs[number];
    if (def.number != number) continue;
    const FieldFormat& format = def.format;
    *text += std::to_string(number) + "|" + std::to_string(def.max_length) + "|" +
             std::to_string(def.length_digits);
    append_property(Setting::kLength, static_cast<int>(format.length), text);
    append_property(Setting::kData, static_cast<int>(format.data), text);
    append_property(Setting::kUnit, static_cast<int>(format.unit), text);
    append_property(Setting::kAlign, format.left_aligned ? 1 : 0, text);
    append_property(Setting::kPad, format.pad, text);
    append_property(Setting::kMask, static_cast<int>(format.card_data), text);
    if (!dialect.names[number].empty()) *text += "  # " + dialect.names[number];
    *text += '\n';
  }
}
