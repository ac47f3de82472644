// Writing the explanation.
#include "explain/explain_report.h"

#include <charconv>
#include <cstdio>
#include <string_view>
#include <vector>

#include "decode/hex_text.h"
#include "decode/report.h"
#include "encoding/cp936_to_utf8.h"

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
    {UnpackResult::kHeaderTooLong, "the header needs %d bytes, the message has %d"},
    {UnpackResult::kBitmapNotHex, "the bitmap is not hexadecimal text"},
    {UnpackResult::kLengthNotDigits, "the length indicator of field %d is not digits"},
};

// The room an explanation starts with: a typical message's fits.
constexpr size_t kExpectedExplanationLength = 4096;

void write_hex(const DecodedField& field, int position, int count, ReportWriter* out) {
  render_shown_hex(field, position, count, out->claim(2 * static_cast<size_t>(count)));
}

// Bytes of their own, such as a tag or the bitmap, as hexadecimal text.
void write_hex(const unsigned char* bytes, size_t count, ReportWriter* out) {
  render_hex(bytes, count, out->claim(2 * count));
}

void write_number(int value, ReportWriter* out) {
  char digits[16];
  const char* end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  out->write(digits, static_cast<size_t>(end - digits));
}

void write_bytes(int count, ReportWriter* out) {
  write_number(count, out);
  out->write(count == 1 ? std::string_view(" byte") : std::string_view(" bytes"));
}

// The length of `field`: in bytes, or in digits and then bytes when its
// length counts packed digits.
void write_length(const DecodedField& field, ReportWriter* out) {
  if (field.format != nullptr && field.format->unit == LengthUnit::kDigits) {
    write_number(field.unit_length, out);
    out->write(field.unit_length == 1 ? std::string_view(" digit, ") : std::string_view(" digits, "));
  }
  write_bytes(field.length, out);
}

// The separator of the columns of a field's or an element's line.
constexpr std::string_view kColumn = " | ";

// The indentation of the lines that say what a value means.
constexpr size_t kMeaningIndent = 4;

// Writes a line that says what a value means, indented by `indent` more.
void write_meaning_line(size_t indent, std::string_view meaning, ReportWriter* out) {
  out->repeat(' ', indent + kMeaningIndent);
  out->write(meaning);
  out->write('\n');
}


void write_element(const DecodedField& field55, const ExplainedElement& explained,
                   ReportWriter* out) {
  const size_t indent = 2 + 2 * static_cast<size_t>(explained.depth);
  const TlvElement& element = explained.element;
  out->repeat(' ', indent);
  write_hex(element.tag, static_cast<size_t>(element.tag_length), out);
  if (explained.tag != nullptr) {
    out->write(kColumn);
    out->write(explained.tag->name);
    out->write(kColumn);
    out->write(explained.tag->chinese_name);
  }
  out->write(kColumn);
  write_bytes(element.value_length, out);
  if (explained.child_count == 0) {
    out->write(kColumn);
    write_hex(field55, element.value_offset, element.value_length, out);
  }
  out->write('\n');
  if (!explained.has_meaning) return;
  const EmvMeaning& meaning = explained.meaning;
  if (!meaning.meaning.empty()) write_meaning_line(indent, meaning.meaning, out);
  for (const std::string& detail : meaning.details) write_meaning_line(indent, detail, out);
  for (const BitMeaning& bit : meaning.bits) {
    out->repeat(' ', indent + kMeaningIndent);
    out->write("byte ");
    write_number(bit.byte, out);
    out->write(" bit ");
    write_number(bit.bit, out);
    out->write(": ");
    out->write(bit.meaning);
    out->write('\n');
  }
}

// The line of `count` bytes of their own, such as the header or the
// bitmap: "NAME | N bytes | HEX".
void write_bytes_line(std::string_view name, const unsigned char* bytes, int count,
                      ReportWriter* out) {
  out->write(name);
  out->write(kColumn);
  write_bytes(count, out);
  out->write(kColumn);
  write_hex(bytes, static_cast<size_t>(count), out);
  out->write('\n');
}

// The fields the bitmap flags, "2, 3, 4, …", the first bit aside.
void write_flagged_fields(const unsigned char bitmap[kBitmapLength], ReportWriter* out) {
  std::string_view separator = "";
  for (int field = 2; field <= 8 * kBitmapLength; ++field) {
    if (!is_flagged(bitmap, field)) continue;
    out->write(separator);
    write_number(field, out);
    separator = ", ";
  }
}

}  // namespace

void write_field_value(const DecodedField& field, std::string* shown, std::string* utf8,
                       ReportWriter* out) {
  const std::string_view text = shown_value(field, shown);
  const bool binary = field.format != nullptr && field.format->data == DataEncoding::kBinary;
  if (!binary && is_printable_cp936(text)) {
    utf8->clear();
    append_cp936_as_utf8(text, utf8);
    out->write(*utf8);
  } else {
    out->write("hex ");
    write_hex(field, 0, field.length, out);
  }
}

std::string verdict_in_words(const UnpackVerdict& verdict) {
  for (const VerdictWords& words : kVerdictWords) {
    if (words.result != verdict.result) continue;
    char line[128];
    if (verdict.result == UnpackResult::kTooShort ||
        verdict.result == UnpackResult::kHeaderTooLong) {
      std::snprintf(line, sizeof line, words.format, verdict.needed, verdict.available);
    } else {
      std::snprintf(line, sizeof line, words.format, verdict.field);
    }
    return line;
  }
  return std::string();
}

void ExplanationWriter::write(const DecodedMessage& message, std::string* text) {
  ReportWriter out(text, kExpectedExplanationLength);
  if (message.header_length > 0) write_bytes_line("Header", message.header, message.header_length, &out);
  out.write("Message type indicator");
  out.write(kColumn);
  write_length(message.type_indicator, &out);
  out.write(kColumn);
  write_field_value(message.type_indicator, &shown_, &utf8_, &out);
  out.write('\n');
  if (explain_type_indicator(message, &meaning_)) write_meaning_line(0, meaning_.meaning, &out);
  write_bytes_line("Bitmap", message.bitmap, message.bitmap_length, &out);
  out.repeat(' ', kMeaningIndent);
  out.write("fields ");
  write_flagged_fields(message.bitmap, &out);
  out.write('\n');
  for (const DecodedField& field : message.fields) {
    out.write("Field ");
    write_number(field.number, &out);
    const std::string& name = names_.name(*message.dialect, field.number);
    if (!name.empty()) {
      out.write(kColumn);
      out.write(name);
    }
    out.write(kColumn);
    write_length(field, &out);
    out.write(kColumn);
    write_field_value(field, &shown_, &utf8_, &out);
    out.write('\n');
    if (explain_field(message, field, &meaning_)) write_meaning_line(0, meaning_.meaning, &out);
    if (field.number != 55) continue;
    explain_chip_data(field, message.field55, &tree_);
    for (const ExplainedElement& element : tree_) write_element(field, element, &out);
  }
  out.write("Result: ");
  out.write(verdict_in_words(message.verdict));
  out.write('\n');
}
