// The report's lines: the heading, one line per element, the verdict, and
// the field 55 listing between its banners.
#include "decode/field_report.h"

#include <cstring>

#include "decode/hex_text.h"
#include "decode/tag_names.h"

namespace {

// The room a report starts with: a typical message's lines fit.
constexpr size_t kExpectedReportLength = 2048;

// The room a listing starts with: a typical field 55 fits.
constexpr size_t kExpectedListingLength = 2048;

// Room for an element line besides its value text: the sequence number,
// tag, length, padding, name and brackets.
constexpr size_t kTagLineOverhead = 80;

// Writes the line of a stored element, as the format
// "fld[%03d][%03d]=[%-*.*s]\r\n" gives it with the field number, the
// length, the length again as width and precision, and the data. Spelled
// out piece by piece, as it is the line written most often.
// A field that is not shown as it stands gets "fld[%03d][%03d]=[%s]\r\n":
// its length in its own unit and its whole text, which may be longer than
// that length (hexadecimal) and may hold zero bytes.
void write_element_line(int number, const DecodedField& field, ReportWriter* writer) {
  std::string shown;  // only a masked field needs it
  writer->literal("fld[");
  writer->zero_filled_decimal(number, 3);
  writer->literal("][");
  if (is_plain(field)) {
    writer->zero_filled_decimal(field.length, 3);
    writer->literal("]=[");
    writer->left_aligned_text(shown_text(field, &shown).data(), static_cast<size_t>(field.length),
                              field.length);
  } else {
    writer->zero_filled_decimal(field.unit_length, 3);
    writer->literal("]=[");
    writer->write(shown_value(field, &shown));
  }
  writer->literal("]\r\n");
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
  writer->literal("Tag-");
  writer->zero_filled_decimal(sequence, 2);
  writer->write(':');
  const size_t tag_digits = 2 * static_cast<size_t>(element.tag_length);
  render_hex(element.tag, static_cast<size_t>(element.tag_length), writer->claim(tag_digits));
  writer->repeat(' ', 4 - tag_digits);
  writer->write('[');
  writer->zero_filled_decimal(element.value_length, 2);
  writer->literal("]:");
  const size_t value_digits = 2 * static_cast<size_t>(element.value_length);
  render_shown_hex(field55, element.value_offset, element.value_length, writer->claim(value_digits));
  if (value_digits < 20) writer->repeat(' ', 20 - value_digits);
  writer->literal(" [");
  writer->write(tag_name_text(element));
  writer->literal("]\r\n");
}

void write_field_report(const DecodedMessage& message, ReportWriter* writer) {
  write_heading(message, writer);
  for (const DecodedField& field : message.fields) write_element_line(field.number, field, writer);
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
  write_field_report(message, &writer);
  if (const DecodedField* field55 = message.find(55)) {
    write_field55_listing(*field55, message.field55, &writer);
  }
}
