// The report's lines: the heading, one line per element, the verdict, and
// the field 55 listing between its banners.
#include "decode/field_report.h"

#include <algorithm>
#include <cstring>

#include "decode/hex_text.h"
#include "decode/tag_names.h"

namespace {

// The room a report starts with: a typical message's lines fit.
constexpr size_t kExpectedReportLength = 2048;

// The room a listing starts with: a typical field 55 fits.
constexpr size_t kExpectedListingLength = 2048;

// Room for an element line besides its value text: the sequence number,
// tag, length, padding, the name's whole row and brackets.
constexpr size_t kTagLineOverhead = 96;

// Room for a field's line besides its data: its number, length and brackets.
constexpr size_t kElementLineOverhead = 32;

// Writes the value `data` of a line at `out`; returns the end. The window
// shows a report up to its first zero byte, so none is written: data shown
// as it stands is printed up to its first zero byte and padded with spaces
// to its length; a text holds zero bytes only as an amount's data past its
// message, and they become blanks (most texts hold none, so a fast search
// comes first).
inline char* put_value(std::string_view data, bool plain, char* out) {
  const void* zero = std::memchr(data.data(), '\0', data.size());
  if (zero == nullptr) return put(out, data);
  if (plain) {
    const size_t printed = static_cast<size_t>(static_cast<const char*>(zero) - data.data());
    std::memcpy(out, data.data(), printed);
    std::memset(out + printed, ' ', data.size() - printed);
    return out + data.size();
  }
  std::replace_copy(data.begin(), data.end(), out, '\0', ' ');
  return out + data.size();
}

// Writes the line of a stored element, as the format
// "fld[%03d][%03d]=[%-*.*s]\r\n" gives it with the field number, the
// length, the length again as width and precision, and the data. Spelled
// out piece by piece, as it is the line written most often.
// A field that is not shown as it stands gets "fld[%03d][%03d]=[%s]\r\n":
// its length in its own unit and its whole text, which may be longer than
// that length (hexadecimal) and may hold zero bytes.
void write_element_line(int number, const DecodedField& field, ReportWriter* writer) {
  std::string shown;  // only a masked field needs it
  const bool plain = is_plain(field);
  const std::string_view data = plain ? shown_text(field, &shown) : shown_value(field, &shown);
  char* out = writer->room_for(kElementLineOverhead + data.size());
  out = put(out, "fld[");
  out = put_zero_filled(out, number, 3);
  out = put(out, "][");
  out = put_zero_filled(out, plain ? field.length : field.unit_length, 3);
  out = put(out, "]=[");
  out = put_value(data, plain, out);
  out = put(out, "]\r\n");
  writer->end_at(out);
}

// Writes the line of a part of a composite field, indented by two spaces
// for each level, as "%*sfld[%s][%03d]=[%s]\r\n" gives it with its id,
// its length in its own unit and its value: a part shown as it stands is
// printed as a field is, up to its first zero byte and padded to its
// length.
void write_part_line(const DecodedPart& part, ReportWriter* writer) {
  std::string shown;  // only a masked part needs it
  const bool plain = is_plain(part);
  const std::string_view data = shown_value(part, &shown);
  const size_t indent = 2 * static_cast<size_t>(part.depth);
  char* out = writer->room_for(indent + static_cast<size_t>(part.id_length) + kElementLineOverhead +
                               data.size());
  std::memset(out, ' ', indent);
  out = put(out + indent, "fld[");
  std::memcpy(out, part.id, static_cast<size_t>(part.id_length));
  out = put(out + part.id_length, "][");
  out = put_zero_filled(out, part.unit_length, 3);
  out = put(out, "]=[");
  out = put_value(data, plain, out);
  out = put(out, "]\r\n");
  writer->end_at(out);
}

// Writes the lines of the parts of `field`, or the note of its misfit.
void write_parts(const DecodedMessage& message, const DecodedField& field, ReportWriter* writer) {
  if (field.misfit >= 0) {
    const PartMisfit& misfit = message.misfits[static_cast<size_t>(field.misfit)];
    writer->literal("  fld ");
    writer->zero_filled_decimal(field.number, 1);
    writer->literal(": ");
    writer->write(misfit.reason);
    writer->literal("\r\n");
    return;
  }
  for (int k = 0; k < field.part_count; ++k) {
    write_part_line(message.parts[static_cast<size_t>(field.first_part + k)], writer);
  }
}

// The heading, and the header of a dialect that has one as
// "header[%03d]=[%s]\r\n", its byte count and its bytes in hexadecimal.
void write_heading(const DecodedMessage& message, ReportWriter* writer) {
  // "开始解包:" (start unpacking)
  writer->literal("\xBF\xAA\xCA\xBC\xBD\xE2\xB0\xFC:\r\n");
  if (message.header_length > 0) {
    writer->literal("header[");
    writer->zero_filled_decimal(message.header_length, 3);
    writer->literal("]=[");
    render_hex(message.header, static_cast<size_t>(message.header_length),
               writer->claim(2 * static_cast<size_t>(message.header_length)));
    writer->literal("]\r\n");
  }
  write_element_line(0, message.type_indicator, writer);
}

void write_verdict(const UnpackVerdict& verdict, ReportWriter* writer) {
  switch (verdict.result) {
    case UnpackResult::kUnpacked:
      // "解包成功" (unpacked successfully)
      writer->literal("\xBD\xE2\xB0\xFC\xB3\xC9\xB9\xA6\r\n");
      break;
    case UnpackResult::kTooShort:
      writer->format("offset[%d],inLen[%d].\r\n", verdict.needed, verdict.available);
      // "报文体总长度过短." (message body too short)
      writer->literal("\xB1\xA8\xCE\xC4\xCC\xE5\xD7\xDC\xB3\xA4\xB6\xC8\xB9\xFD\xB6\xCC.\r\n");
      break;
    case UnpackResult::kFieldNotDefined:
      writer->format("fld[%d] bitmap is not exist!\r\n", verdict.field);
      break;
    case UnpackResult::kLengthTooLong:
      writer->format("fld[%d] length is too long!\r\n", verdict.field);
      break;
    case UnpackResult::kLengthInvalid:
      writer->format("fld[%d] length is invalid!\r\n", verdict.field);
      break;
    case UnpackResult::kHeaderTooLong:
      writer->format("header[%d] is longer than inLen[%d]!\r\n", verdict.needed, verdict.available);
      break;
    case UnpackResult::kBitmapNotHex:
      writer->literal("bitmap is not hexadecimal!\r\n");
      break;
    case UnpackResult::kLengthNotDigits:
      writer->format("fld[%d] length is not digits!\r\n", verdict.field);
      break;
  }
}

// Writes the line of one element, as the format
// "Tag-%02d:%-04s[%02d]:%-20s [%s]\r\n" gives it with the sequence
// number, the tag text, the value length, the value text and the name.
// Spelled out piece by piece, as it is written for every element.
void write_tag_line(const DecodedField& field55, const TlvElement& element, int sequence,
                    ReportWriter* writer) {
  // Pieces of fixed size are written whole and then partly overwritten:
  // the tag over four spaces, the value over twenty, the name as its
  // whole row of the dictionary.
  const size_t value_digits = 2 * static_cast<size_t>(element.value_length);
  char* out = writer->room_for(kTagLineOverhead + value_digits);
  out = put(out, "Tag-");
  out = put_zero_filled(out, sequence, 2);
  *out++ = ':';
  put(out, "    ");
  render_hex(element.tag, static_cast<size_t>(element.tag_length), out);
  out = put(out + 4, "[");
  out = put_zero_filled(out, element.value_length, 2);
  out = put(out, "]:");
  put(out, "                    ");
  render_shown_hex(field55, element.value_offset, element.value_length, out);
  out += value_digits > 20 ? value_digits : 20;
  out = put(out, " [");
  const int row = tag_name_row(element);
  std::memcpy(out, report_tag_names[row].name, sizeof report_tag_names[row].name);
  out = put(out + tag_name_length(row), "]\r\n");
  writer->end_at(out);
}

void write_field_report(const DecodedMessage& message, ReportWriter* writer) {
  write_heading(message, writer);
  for (const DecodedField& field : message.fields) {
    write_element_line(field.number, field, writer);
    if (field.part_count > 0 || field.misfit >= 0) write_parts(message, field, writer);
  }
  write_verdict(message.verdict, writer);
}

void write_field55_listing(const DecodedField& field55, const std::vector<TlvElement>& elements,
                           ReportWriter* writer) {
  // "=======55域子域解析=========" (field 55 sub-fields)
  writer->literal("=======55\xD3\xF2\xD7\xD3\xD3\xF2\xBD\xE2\xCE\xF6=========\r\n");
  int sequence = 0;
  for (const TlvElement& element : elements) write_tag_line(field55, element, ++sequence, writer);
  // "=======55域子域解析结束=======" (end of field 55 sub-fields)
  writer->literal("=======55\xD3\xF2\xD7\xD3\xD3\xF2\xBD\xE2\xCE\xF6\xBD\xE1\xCA\xF8=======\r\n");
}

// Writes the whole report of `message` with `writer`.
void write_report(const DecodedMessage& message, ReportWriter* writer) {
  write_field_report(message, writer);
  if (const DecodedField* field55 = message.find(55)) {
    write_field55_listing(*field55, message.field55, writer);
  }
}

}  // namespace

void write_field_report(const DecodedMessage& message, Report* report) {
  ReportWriter writer(report, kExpectedReportLength, ReportWriter::Start::kReplacing);
  write_field_report(message, &writer);
}

void write_field55_listing(const DecodedField& field55, const std::vector<TlvElement>& elements,
                           Report* report) {
  ReportWriter writer(report, kExpectedListingLength);
  write_field55_listing(field55, elements, &writer);
}

void write_tag_line(const DecodedField& field55, const TlvElement& element, int sequence,
                    Report* report) {
  ReportWriter writer(report, kTagLineOverhead + 2 * static_cast<size_t>(element.value_length));
  write_tag_line(field55, element, sequence, &writer);
}

void write_report(const DecodedMessage& message, Report* report) {
  // One writer for the whole report, which reuses the room of the last.
  ReportWriter writer(report, kExpectedReportLength + kExpectedListingLength,
                      ReportWriter::Start::kReplacing);
  write_report(message, &writer);
}

void append_report(const DecodedMessage& message, WriterRoom* room, Report* text) {
  ReportWriter writer(text, room);
  write_report(message, &writer);
}
