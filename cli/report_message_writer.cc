// The report of each message, as the window shows it.
#include "cli/report_message_writer.h"

#include <string_view>

#include "cli/terminal_text.h"
#include "decode/field_report.h"
#include "encoding/cp936_to_utf8.h"

namespace {

// What stands before the data of an element line: "fld[NNN][LLL]=[".
constexpr std::string_view kDataOpening = "]=[";

// Appends `report`, the report of `message`, as UTF-8 with LF line ends.
// Message bytes stand only in the data of the element lines,
// "fld[NNN][LLL]=[DATA]", which holds exactly LLL bytes; there a control
// character shows as its picture, so that no data byte moves the cursor,
// ends a line or starts an escape sequence.
void append_report_as_utf8(const Report& report, const DecodedMessage& message,
                           std::string* utf8) {
  const std::string_view text = report;
  size_t at = 0;
  const auto append_data = [&](const DecodedField& field) {
    const size_t opening = text.find(kDataOpening, at);
    if (opening == std::string_view::npos) return;
    const size_t data = opening + kDataOpening.size();
    append_cp936_as_utf8(text.substr(at, data - at), utf8);
    const size_t length = static_cast<size_t>(field.length);
    append_cp936_as_visible_utf8(text.substr(data, length), utf8);
    at = data + length;
  };
  append_data(message.type_indicator);
  for (const DecodedField& field : message.fields) append_data(field);
  append_cp936_as_utf8(text.substr(at), utf8);
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
