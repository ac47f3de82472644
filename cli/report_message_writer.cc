// The report of each message, as the window shows it.
#include "cli/report_message_writer.h"

#include "decode/field_report.h"
#include "encoding/cp936_to_utf8.h"

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
    append_cp936_as_utf8(report_, text);
  }
  if (separate_) *text += line_end;
  output->maybe_flush();
}

void ReportMessageWriter::write_rejected(const MessageOrigin&, const Refusal&, Output*) {}
