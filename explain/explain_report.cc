// Writing the explanation: each line is written whole, into room made once
// for it from the lengths of its texts.
#include "explain/explain_report.h"

#include <cstring>
#include <string_view>

#include "decode/hex_text.h"
#include "decode/limits.h"
#include "decode/report.h"
#include "encoding/byte_scan.h"
#include "encoding/cp936_to_utf8.h"

namespace {

// The verdicts in words: words, a number of the verdict, more words, maybe
// a second number, and the last words.
struct VerdictWords {
  UnpackResult result;
  std::string_view opening;
  int UnpackVerdict::*first;  // nullptr for none
  std::string_view middle;
  int UnpackVerdict::*second;  // nullptr for none
  std::string_view closing;
};
constexpr VerdictWords kVerdictWords[] = {
    {UnpackResult::kUnpacked, "unpacked: every flagged field was read", nullptr, "", nullptr, ""},
    {UnpackResult::kTooShort, "too short: the fields need ", &UnpackVerdict::needed,
     " bytes, the message has ", &UnpackVerdict::available, ""},
    {UnpackResult::kFieldNotDefined, "field ", &UnpackVerdict::field,
     " is flagged but the definitions lack it", nullptr, ""},
    {UnpackResult::kLengthTooLong, "the length indicator of field ", &UnpackVerdict::field,
     " exceeds its maximum", nullptr, ""},
    {UnpackResult::kLengthInvalid, "the length indicator of field ", &UnpackVerdict::field,
     " is negative", nullptr, ""},
    {UnpackResult::kHeaderTooLong, "the header needs ", &UnpackVerdict::needed,
     " bytes, the message has ", &UnpackVerdict::available, ""},
    {UnpackResult::kBitmapNotHex, "the bitmap is not hexadecimal text", nullptr, "", nullptr, ""},
    {UnpackResult::kLengthNotDigits, "the length indicator of field ", &UnpackVerdict::field,
     " is not digits", nullptr, ""},
};

// The room of a line besides its texts of any length (names, values,
// meanings): its indentation, separators, numbers and fixed words.
constexpr size_t kLineRoom = 160;

// The separator of the columns of a field's or an element's line.
constexpr std::string_view kColumn = " | ";

// The indentation of the lines that say what a value means.
constexpr size_t kMeaningIndent = 4;

// Spaces for any indentation: that of the deepest chip data's meanings.
constexpr char kSpaces[] = "                                ";
static_assert(2 + 2 * (kMaxChipDataDepth - 1) + kMeaningIndent < sizeof kSpaces,
              "indentation deeper than its spaces");
static_assert(2 * kMaxLayoutDepth < sizeof kSpaces, "parts deeper than the spaces");

// Writes `indent` spaces at `out` (and more, which what follows
// overwrites); returns the end.
char* put_indent(char* out, size_t indent) {
  std::memcpy(out, kSpaces, sizeof kSpaces - 1);
  return out + indent;
}

// "N byte" or "N bytes".
char* put_bytes(char* out, int count) {
  out = put_decimal(out, count);
  return count == 1 ? put(out, " byte") : put(out, " bytes");
}

// The length of `field`: in bytes, or in digits and then bytes when its
// length counts packed digits.
char* put_length(char* out, const DecodedField& field) {
  if (field.format != nullptr && field.format->unit == LengthUnit::kDigits) {
    out = put_decimal(out, field.unit_length);
    out = field.unit_length == 1 ? put(out, " digit, ") : put(out, " digits, ");
  }
  return put_bytes(out, field.length);
}

// The length of `part`: in digits when it is cut from packed digits, in
// digits and then bytes when it is packed, else in bytes.
char* put_length(char* out, const DecodedPart& part) {
  const bool packed = !part.in_digits && part.format->unit == LengthUnit::kDigits;
  if (part.in_digits || packed) {
    const int digits = part.in_digits ? part.length : part.unit_length;
    out = put_decimal(out, digits);
    out = put(out, digits == 1 ? " digit" : " digits");
    if (part.in_digits) return out;
    out = put(out, ", ");
  }
  return put_bytes(out, part.length);
}

// How the value of a field or of a part shows: as text when it is
// printable, else as hexadecimal; binary data always as hexadecimal.
class ShownValue {
 public:
  // `shown` and `utf8` are room to work in, which the text may lie in.
  ShownValue(const DecodedField& field, std::string* shown, std::string* utf8)
      : field_(&field), hex_digits_(2 * static_cast<size_t>(field.length)) {
    const bool binary = field.format != nullptr && field.format->data == DataEncoding::kBinary;
    if (!binary) choose_text(shown_value(field, shown), utf8);
  }
  ShownValue(const DecodedPart& part, std::string* shown, std::string* utf8)
      : part_(&part), hex_digits_(static_cast<size_t>(part.in_digits ? part.length : 2 * part.length)) {
    const bool binary = !part.in_digits && part.format->data == DataEncoding::kBinary;
    if (!binary) choose_text(shown_value(part, shown), utf8);
  }

  // How many bytes it takes.
  size_t size() const { return as_text_ ? text_.size() : 4 + hex_digits_; }

  // Writes it at `out`; returns the end.
  char* put_at(char* out) const {
    if (as_text_) return put(out, text_);
    out = put(out, "hex ");
    if (part_ != nullptr) {
      render_shown_hex(*part_, out);
    } else {
      render_shown_hex(*field_, 0, field_->length, out);
    }
    return out + hex_digits_;
  }

 private:
  // Shows `text` as it is, or in UTF-8, when it is printable.
  void choose_text(std::string_view text, std::string* utf8) {
    if (is_visible_ascii(text)) {  // the same in UTF-8
      text_ = text;
      as_text_ = true;
    } else if (is_printable_cp936(text)) {
      utf8->clear();
      append_cp936_as_utf8(text, utf8);
      text_ = *utf8;
      as_text_ = true;
    }
  }

  const DecodedField* field_ = nullptr;
  const DecodedPart* part_ = nullptr;
  size_t hex_digits_;
  std::string_view text_;
  bool as_text_ = false;
};

// Writes a line that says what a value means, indented by `indent` more.
void write_meaning_line(size_t indent, std::string_view meaning, ReportWriter* out) {
  char* line = out->room_for(kLineRoom + meaning.size());
  line = put_indent(line, indent + kMeaningIndent);
  line = put(line, meaning);
  *line++ = '\n';
  out->end_at(line);
}

void write_element(const DecodedField& field55, const ExplainedElement& explained,
                   ReportWriter* out) {
  const size_t indent = 2 + 2 * static_cast<size_t>(explained.depth);
  const TlvElement& element = explained.element;
  const std::string_view english = explained.tag != nullptr ? explained.tag->english() : "";
  const std::string_view chinese = explained.tag != nullptr ? explained.tag->chinese() : "";
  const bool shows_value = explained.child_count == 0;
  const size_t value_digits = shows_value ? 2 * static_cast<size_t>(element.value_length) : 0;
  char* line = out->room_for(kLineRoom + english.size() + chinese.size() + value_digits);
  line = put_indent(line, indent);
  render_hex(element.tag, static_cast<size_t>(element.tag_length), line);
  line += 2 * element.tag_length;
  if (explained.tag != nullptr) {
    line = put(put(put(put(line, kColumn), english), kColumn), chinese);
  }
  line = put_bytes(put(line, kColumn), element.value_length);
  if (shows_value) {
    line = put(line, kColumn);
    render_shown_hex(field55, element.value_offset, element.value_length, line);
    line += value_digits;
  }
  *line++ = '\n';
  out->end_at(line);
  if (!explained.has_meaning) return;
  const EmvMeaning& meaning = explained.meaning;
  if (!meaning.meaning.empty()) write_meaning_line(indent, meaning.meaning, out);
  for (const std::string& detail : meaning.details) write_meaning_line(indent, detail, out);
  for (const BitMeaning& bit : meaning.bits) {
    const std::string_view words = bit.words();
    line = out->room_for(kLineRoom + words.size());
    line = put(put_indent(line, indent + kMeaningIndent), "byte ");
    line = put(put_decimal(line, bit.byte), " bit ");
    line = put(put_decimal(line, bit.bit), ": ");
    line = put(line, words);
    *line++ = '\n';
    out->end_at(line);
  }
}

// The line of `count` bytes of their own, such as the header or the
// bitmap: "NAME | N bytes | HEX".
void write_bytes_line(std::string_view name, const unsigned char* bytes, int count,
                      ReportWriter* out) {
  char* line = out->room_for(kLineRoom + name.size() + 2 * static_cast<size_t>(count));
  line = put_bytes(put(put(line, name), kColumn), count);
  line = put(line, kColumn);
  render_hex(bytes, static_cast<size_t>(count), line);
  line += 2 * count;
  *line++ = '\n';
  out->end_at(line);
}

// The line of the fields the bitmap flags, "    fields 2, 3, 4, …", the
// first bit aside.
void write_flagged_fields(const unsigned char bitmap[kBitmapLength], ReportWriter* out) {
  // Every field's number and separator: at most three digits and two more.
  char* line = out->room_for(kLineRoom + 5 * 8 * kBitmapLength);
  line = put(put_indent(line, kMeaningIndent), "fields ");
  std::string_view separator = "";
  for (int byte = 0; byte < kBitmapLength; ++byte) {
    if (bitmap[byte] == 0) continue;
    for (int field = 8 * byte + 1; field <= 8 * byte + 8; ++field) {
      if (field == 1 || !is_flagged(bitmap, field)) continue;
      line = put_decimal(put(line, separator), field);
      separator = ", ";
    }
  }
  *line++ = '\n';
  out->end_at(line);
}

// Writes `verdict` in words at `out`, which has kLineRoom bytes of room;
// returns the end.
char* put_verdict_in_words(char* out, const UnpackVerdict& verdict) {
  for (const VerdictWords& words : kVerdictWords) {
    if (words.result != verdict.result) continue;
    out = put(out, words.opening);
    if (words.first != nullptr) out = put_decimal(out, verdict.*words.first);
    out = put(out, words.middle);
    if (words.second != nullptr) out = put_decimal(out, verdict.*words.second);
    out = put(out, words.closing);
  }
  return out;
}

// "Result: " and the verdict in words.
void write_verdict(const UnpackVerdict& verdict, ReportWriter* out) {
  char* line = put(out->room_for(kLineRoom), "Result: ");
  line = put_verdict_in_words(line, verdict);
  *line++ = '\n';
  out->end_at(line);
}

}  // namespace

void write_field_value(const DecodedField& field, std::string* shown, std::string* utf8,
                       ReportWriter* out) {
  const ShownValue value(field, shown, utf8);
  out->end_at(value.put_at(out->room_for(value.size())));
}

std::string verdict_in_words(const UnpackVerdict& verdict) {
  char words[kLineRoom];
  return std::string(words, put_verdict_in_words(words, verdict));
}

void ExplanationWriter::write(const DecodedMessage& message, std::string* text) {
  ReportWriter out(text, &room_);
  if (message.header_length > 0) write_bytes_line("Header", message.header, message.header_length, &out);
  const ShownValue indicator(message.type_indicator, &shown_, &utf8_);
  char* line = out.room_for(kLineRoom + indicator.size());
  line = put_length(put(line, "Message type indicator | "), message.type_indicator);
  line = indicator.put_at(put(line, kColumn));
  *line++ = '\n';
  out.end_at(line);
  if (explain_type_indicator(message, &meaning_)) write_meaning_line(0, meaning_.meaning, &out);
  write_bytes_line("Bitmap", message.bitmap, message.bitmap_length, &out);
  write_flagged_fields(message.bitmap, &out);
  for (const DecodedField& field : message.fields) {
    const std::string& name = names_.name(*message.dialect, field.number);
    const ShownValue value(field, &shown_, &utf8_);
    line = out.room_for(kLineRoom + name.size() + value.size());
    line = put_decimal(put(line, "Field "), field.number);
    if (!name.empty()) line = put(put(line, kColumn), name);
    line = put_length(put(line, kColumn), field);
    line = value.put_at(put(line, kColumn));
    *line++ = '\n';
    out.end_at(line);
    if (explain_field(message, field, &meaning_)) write_meaning_line(0, meaning_.meaning, &out);
    if (field.part_count > 0 || field.misfit >= 0) write_parts(message, field, &out);
    if (field.number != 55) continue;
    explain_chip_data(field, message.field55, &tree_);
    for (const ExplainedElement& element : tree_) write_element(field, element, &out);
  }
  write_verdict(message.verdict, &out);
}

void ExplanationWriter::write_parts(const DecodedMessage& message, const DecodedField& field,
                                    ReportWriter* out) {
  if (field.misfit >= 0) {
    const std::string& reason = message.misfits[static_cast<size_t>(field.misfit)].reason;
    char* line = put(out->room_for(kLineRoom + reason.size()), "  does not fit its layout: ");
    line = put(line, reason);
    *line++ = '\n';
    out->end_at(line);
    return;
  }
  const DecodedPart* first = message.parts.data() + field.first_part;
  for (const DecodedPart* part = first; part != first + field.part_count; ++part) {
    name_.clear();
    if (part->def != nullptr) append_text_as_utf8(part->def->name, &name_);
    const ShownValue value(*part, &shown_, &utf8_);
    const std::string_view id = part_id(*part);
    char* line = out->room_for(kLineRoom + id.size() + name_.size() + value.size());
    line = put(put_indent(line, 2 * static_cast<size_t>(part->depth)), id);
    if (!name_.empty()) line = put(put(line, kColumn), name_);
    line = put_length(put(line, kColumn), *part);
    if (part->descendants == 0) line = value.put_at(put(line, kColumn));
    *line++ = '\n';
    out->end_at(line);
  }
}
