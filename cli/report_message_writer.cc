// The report of each message, as the window shows it.
#include "cli/report_message_writer.h"

#include <string_view>

#include "cli/terminal_text.h"
#include "decode/field_report.h"
#include "encoding/cp936_to_utf8.h"

namespace {

// Where the data of the line that starts at or after text[at],
// "fld[NNN][LLL]=[DATA]" or "header[NNN]=[HEX]", begins: after its "=[",
// which only this part of a line holds. The end of `text` when there is none.
size_t data_start(std::string_view text, size_t at) {
  // Scanned by hand: the opening is a few bytes away, nearer than a
  // library search pays for.
  for (; at + 1 < text.size(); ++at) {
    if (text[at] == '=' && text[at + 1] == '[') return at + 2;
  }
  return text.size();
}

// Whether `data` is visible ASCII only, which converts the same anywhere.
bool is_visible_ascii(std::string_view data) {
  for (const char ch : data) {
    if (ch < 0x20 || ch > 0x7E) return false;
  }
  return true;
}

// Appends `report`, the report of `message`, as UTF-8 with LF line ends.
// Message bytes stand only in the data of the header line,
// "header[NNN]=[HEX]", of the element lines, "fld[NNN][LLL]=[DATA]", and
// of the lines of their parts, "  fld[ID][LLL]=[DATA]", each holding
// exactly as many bytes as it shows (LLL for a field shown as it stands),
// and ids made of letters and digits; there a control character shows as its picture, so that no
// data byte moves the cursor, ends a line or starts an escape sequence.
// The text between such data goes over in one piece, as most data is
// visible ASCII.
void append_report_as_utf8(const Report& report, const DecodedMessage& message,
                           std::string* utf8) {
  const std::string_view text = report;
  size_t plain_start = 0;  // of the text not yet appended
  size_t at = 0;
  const auto append_data = [&](size_t shown) {
    const size_t data = data_start(text, at);
    const std::string_view bytes = text.substr(data, shown);
    at = data + bytes.size();
    if (is_visible_ascii(bytes)) return;
    append_cp936_as_utf8(text.substr(plain_start, data - plain_start), utf8);
    append_cp936_as_visible_utf8(bytes, utf8);
    plain_start = at;
  };
  if (message.header_length > 0) append_data(2 * static_cast<size_t>(message.header_length));
  append_data(static_cast<size_t>(shown_length(message.type_indicator)));
  for (const DecodedField& field : message.fields) {
    append_data(static_cast<size_t>(shown_length(field)));
    for (int k = 0; k < field.part_count; ++k) {
      const DecodedPart& part = message.parts[static_cast<size_t>(field.first_part + k)];
      append_data(static_cast<size_t>(is_plain(part) ? part.length : part.value_length));
    }
  }
  append_cp936_as_utf8(text.substr(plain_start), utf8);
}

}  // namespace

void ReportMessageWriter::write_decoded(const MessageOrigin& origin, size_t byte_count,
                                        DecodeOutcome, const DecodedMessage& message,
                                        Output* output) {
  const char* line_end = raw_ ? "\r\n" : "\n";
  std::string* text = output->pending();
  append_capture_heading(origin, byte_count, line_end, text);
  write_report(message, &report_);
  if (raw_) {
    *text += report_;
  } else {
    append_report_as_utf8(report_, message, text);
  }
  if (separate_) *text += line_end;
  output->maybe_flush();
}

void ReportMessageWriter::write_rejected(const MessageOrigin&, const Refusal&, Output*) {}
