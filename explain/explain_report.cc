// Writing the explanation.
#include "explain/explain_report.h"

#include <cstdio>
#include <vector>

#include "decode/field_table.h"
#include "encoding/cp936_to_utf8.h"
#include "explain/chip_data_tree.h"
#include "fields/field_meaning.h"

namespace {

// The verdicts in words; %d stands for the field, or for the bytes needed
// and those the message has.
struct VerdictWords {
  UnpackResult result;
  const char* format;
};
constexpr VerdictWords kVerdictWords[] = {
    {UnpackResult::kUnpacked, "unpacked: every flagged field was read"},
    {UnpackResult::kTooShort, "too short: the fields need %d bytes, the message has %d"},
    {UnpackResult::kFieldNotDefined, "field %d is flagged but the definitions lack it"},
    {UnpackResult::kLengthTooLong, "the length indicator of field %d exceeds its maximum"},
    {UnpackResult::kLengthInvalid, "the length indicator of field %d is negative"},
};

void append_hex(const DecodedField& field, int position, int count, std::string* text) {
  const size_t start = text->size();
  text->resize(start + 2 * static_cast<size_t>(count));
  render_shown_hex(field, position, count, &(*text)[start]);
}

// The value of `field` as text when it is printable, else as hexadecimal.
void append_value(const DecodedField& field, std::string* text) {
  static std::string shown;
  shown.resize(static_cast<size_t>(field.length));
  for (int k = 0; k < field.length; ++k) shown[k] = static_cast<char>(shown_byte(field, k));
  if (is_printable_cp936(shown)) {
    append_cp936_as_utf8(shown, text);
  } else {
    *text += "hex ";
    append_hex(field, 0, field.length, text);
  }
}

void append_bytes(int count, std::string* text) {
  *text += std::to_string(count);
  *text += count == 1 ? " byte" : " bytes";
}

// The separator of the columns of a field's or an element's line.
constexpr char kColumn[] = " | ";

// The indentation of the lines that say what a value means.
constexpr char kMeaningIndent[] = "    ";

void append_field(const DecodedMessage& message, const DecodedField& field,
                  FieldMeaning* meaning, std::string* text) {
  *text += "Field ";
  *text += std::to_string(field.number);
  const std::string& name = field_names[field.number];
  if (!name.empty()) {
    *text += kColumn;
    append_text_as_utf8(name, text);
  }
  *text += kColumn;
  append_bytes(field.length, text);
  *text += kColumn;
  append_value(field, text);
  *text += '\n';
  if (explain_field(message, field, meaning)) {
    *text += kMeaningIndent;
    *text += meaning->meaning;
    *text += '\n';
  }
}

void append_element(const DecodedField& field55, const ExplainedElement& explained,
                    std::string* text) {
  const std::string indent(2 + 2 * static_cast<size_t>(explained.depth), ' ');
  const TlvElement& element = explained.element;
  DecodedField tag;
  tag.data = element.tag;
  tag.readable = element.tag_length;
  *text += indent;
  append_hex(tag, 0, element.tag_length, text);
  if (explained.tag != nullptr) {
    *text += kColumn;
    *text += explained.tag->name;
    *text += kColumn;
    *text += explained.tag->chinese_name;
  }
  *text += kColumn;
  append_bytes(element.value_length, text);
  if (explained.child_count == 0) {
    *text += kColumn;
    append_hex(field55, element.value_offset, element.value_length, text);
  }
  *text += '\n';
  if (!explained.has_meaning) return;
  const EmvMeaning& meaning = explained.meaning;
  const std::string detail_indent = indent + kMeaningIndent;
  if (!meaning.meaning.empty()) *text += detail_indent + meaning.meaning + "\n";
  for (const std::string& detail : meaning.details) *text += detail_indent + detail + "\n";
  for (const BitMeaning& bit : meaning.bits) {
    *text += detail_indent + "byte " + std::to_string(bit.byte) + " bit " +
             std::to_string(bit.bit) + ": " + bit.meaning + "\n";
  }
}

// The fields the bitmap flags, "2, 3, 4, …", the first bit aside.
void append_flagged_fields(const unsigned char bitmap[kBitmapLength], std::string* text) {
  const char* separator = "";
  for (int field = 2; field <= 8 * kBitmapLength; ++field) {
    if ((bitmap[(field - 1) / 8] & (0x80 >> ((field - 1) % 8))) == 0) continue;
    *text += separator;
    *text += std::to_string(field);
    separator = ", ";
  }
}

}  // namespace

std::string verdict_in_words(const UnpackVerdict& verdict) {
  for (const VerdictWords& words : kVerdictWords) {
    if (words.result != verdict.result) continue;
    char line[128];
    if (verdict.result == UnpackResult::kTooShort) {
      std::snprintf(line, sizeof line, words.format, verdict.needed, verdict.available);
    } else {
      std::snprintf(line, sizeof line, words.format, verdict.field);
    }
    return line;
  }
  return std::string();
}

void write_explanation(const DecodedMessage& message, std::string* text) {
  static FieldMeaning meaning;
  *text += "Message type indicator";
  *text += kColumn;
  append_bytes(message.type_indicator.length, text);
  *text += kColumn;
  append_value(message.type_indicator, text);
  *text += '\n';
  if (explain_type_indicator(message, &meaning)) {
    *text += kMeaningIndent + meaning.meaning + "\n";
  }
  *text += "Bitmap";
  *text += kColumn;
  append_bytes(kBitmapLength, text);
  *text += kColumn;
  DecodedField bitmap;
  bitmap.data = message.bitmap;
  bitmap.readable = kBitmapLength;
  append_hex(bitmap, 0, kBitmapLength, text);
  *text += '\n';
  *text += kMeaningIndent;
  *text += "fields ";
  append_flagged_fields(message.bitmap, text);
  *text += '\n';
  static std::vector<ExplainedElement> tree;
  for (const DecodedField& field : message.fields) {
    append_field(message, field, &meaning, text);
    if (field.number != 55) continue;
    explain_chip_data(field, message.field55, &tree);
    for (const ExplainedElement& element : tree) append_element(field, element, text);
  }
  *text += "Result: " + verdict_in_words(message.verdict) + "\n";
}
